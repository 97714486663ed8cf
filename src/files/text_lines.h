// Text files as the line file and the INI file see them: lines that end at a
// line feed (a carriage return just before it belongs to the ending), the
// last one perhaps without an ending. Each line keeps every byte it had, so
// a file can be written back with only the changed lines different.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

struct SourceLine {
    std::string text;  // without its ending; any length, any bytes
    std::string end;   // "\r\n", "\n", or "" for a last line without one
};

std::vector<SourceLine> SplitLines(const std::string& bytes);
// The line ending new lines get: the file's own (that of its first line),
// "\r\n" when no line has one.
std::string LineEndOf(const std::vector<SourceLine>& lines);
// Every byte of an open file from its current position; false on a read
// error (what was read so far is in `bytes`).
bool ReadAllBytes(std::FILE* file, std::string& bytes);
// The text as C code sees it: up to its first NUL byte.
inline size_t CTextLength(const std::string& text) {
    size_t nul = text.find('\0');
    return nul == std::string::npos ? text.size() : nul;
}
// Whether a byte is a control character (0..31), which readers strip from
// the end of texts.
inline bool IsControlByte(char c) { return static_cast<unsigned char>(c) <= 31; }

// Appends lines to a text. A line without an ending gets the text's line
// end once anything follows it.
class LineWriter {
public:
    explicit LineWriter(std::string lineEnd) : lineEnd_(std::move(lineEnd)) {}
    void Line(const std::string& text, const std::string& end);
    void NewLine(const std::string& text) { Line(text, lineEnd_); }
    std::string& bytes() { return bytes_; }

private:
    std::string lineEnd_, bytes_;
    bool open_ = false;  // the last line has no ending yet
};
