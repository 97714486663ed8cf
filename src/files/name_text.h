// Small rules for names and paths shared by the file commands.
#pragma once
#include <cstddef>
#include <string>

// A letter in lower case, for names compared without regard to case (ASCII
// letters only; other bytes stay as they are).
inline char FoldLetter(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Backslashes become forward slashes, the separator both targets accept.
inline void ForwardSlashes(char* text, size_t length) {
    for (size_t i = 0; text && i < length; ++i)
        if (text[i] == '\\') text[i] = '/';
}
inline void ForwardSlashes(std::string& text) { ForwardSlashes(text.data(), text.size()); }
