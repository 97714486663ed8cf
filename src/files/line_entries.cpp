#include "files/line_file.h"

void ReadLineEntries(LineFile& file, const std::string& bytes) {
    file.lines = SplitLines(bytes);
    file.written.assign(file.lines.size(), 0);
    const size_t entries = file.lines.size() < kLineEntries ? file.lines.size() : kLineEntries;
    file.lastLine = entries > 0 ? static_cast<int32_t>(entries - 1) : 0;
}

std::string LineEntryText(const LineFile& file, uint32_t entry) {
    if (entry >= file.lines.size()) return std::string();
    const std::string& text = file.lines[entry].text;
    size_t length = CTextLength(text);
    while (length > 0 && IsControlByte(text[length - 1])) --length;
    return text.substr(0, length);
}

void SetLineEntry(LineFile& file, uint32_t entry, const char* text) {
    if (entry >= kLineEntries) return;
    if (entry >= file.lines.size()) {
        file.lines.resize(entry + 1);
        file.written.resize(entry + 1, 1);  // the empty lines before it are new too
    }
    file.lines[entry].text = text ? text : "";
    file.written[entry] = 1;
    if (static_cast<int32_t>(entry) > file.lastLine) file.lastLine = static_cast<int32_t>(entry);
    file.linesChanged = true;
}

std::string LineFileText(const LineFile& file) {
    LineWriter out(LineEndOf(file.lines));
    for (size_t n = 0; n < file.lines.size(); ++n) {
        const SourceLine& line = file.lines[n];
        // A written line keeps the ending it had; a new one, or a last line
        // without an ending, gets the file's.
        if (file.written[n] && line.end.empty())
            out.NewLine(line.text);
        else
            out.Line(line.text, line.end);
    }
    return std::move(out.bytes());
}
