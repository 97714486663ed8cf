#include "files/text_lines.h"

std::vector<SourceLine> SplitLines(const std::string& bytes) {
    std::vector<SourceLine> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t feed = bytes.find('\n', start);
        if (feed == std::string::npos) {
            lines.push_back(SourceLine{bytes.substr(start), ""});
            break;
        }
        size_t textEnd = feed > start && bytes[feed - 1] == '\r' ? feed - 1 : feed;
        lines.push_back(SourceLine{bytes.substr(start, textEnd - start), bytes.substr(textEnd, feed + 1 - textEnd)});
        start = feed + 1;
    }
    return lines;
}

std::string LineEndOf(const std::vector<SourceLine>& lines) {
    if (!lines.empty() && !lines.front().end.empty()) return lines.front().end;
    return "\r\n";
}

bool ReadAllBytes(std::FILE* file, std::string& bytes) {
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, n);
    return !std::ferror(file);
}

void LineWriter::Line(const std::string& text, const std::string& end) {
    if (open_) bytes_ += lineEnd_;
    bytes_ += text;
    bytes_ += end;
    open_ = end.empty();
}
