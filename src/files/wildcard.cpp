#include "files/wildcard.h"

namespace {
char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

// Left to right with one backtracking point: the latest "*" and the name
// position it was tried at.
bool WildcardMatch(const char* name, const char* pattern) {
    const char* backPattern = nullptr;
    const char* backName = nullptr;
    for (;;) {
        if (!*name) {
            while (*pattern == '*') ++pattern;
            return !*pattern;
        }
        if (*pattern == '*') {
            while (*pattern == '*') ++pattern;
            if (!*pattern) return true;
            backPattern = pattern;
            backName = name;
            continue;
        }
        bool same = *pattern == '?' ? *name != '.' : (*pattern && Fold(*pattern) == Fold(*name));
        if (same) {
            ++pattern;
            ++name;
            continue;
        }
        if (!backPattern) return false;
        name = ++backName;
        pattern = backPattern;
    }
}
