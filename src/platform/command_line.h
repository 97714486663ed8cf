// The command line a Windows program would see for a list of arguments, for
// targets whose process entry gets the arguments already split (Linux).
#pragma once
#include <string>

namespace platform {

// Joins the arguments with blanks, quoting and escaping them by the Windows
// rules (as Windows and Wine build a command line): an empty argument or one
// holding a blank or tab is put in double quotes, an embedded quote becomes
// \" with the backslashes before it doubled, and backslashes before a
// closing quote are doubled. Splitting the text by the same rules gives the
// arguments back.
std::string WindowsCommandLine(int count, const char* const* args);

}  // namespace platform
