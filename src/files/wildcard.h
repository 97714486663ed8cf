// The file-name patterns of ListDirectory: "*" for any run of characters,
// "?" for one character other than ".", letters matched without regard to case.
#pragma once

bool WildcardMatch(const char* name, const char* pattern);
