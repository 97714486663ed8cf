// The built-in font's letter 'A' as a 7 x 8 cell, top row first: '#' ink,
// 'o' outline, '.' clear. The font's own texture and the drawn text both
// show it.
#pragma once
#include <string>
#include <vector>

inline const std::vector<std::string> kLetterA = {
    "..ooo..",
    ".o###o.",
    ".o#o#o.",
    ".o###o.",
    ".o#o#o.",
    ".o#o#o.",
    "..o.o..",
    ".......",
};
