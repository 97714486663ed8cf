#include "files/wildcard.h"

#include "files/name_text.h"

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
        bool same = *pattern == '?' ? *name != '.' : (*pattern && FoldLetter(*pattern) == FoldLetter(*name));
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
