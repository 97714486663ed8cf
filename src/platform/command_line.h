// Command lines by the Windows rules, for targets whose processes take their
// arguments already split (Linux): the process entry joins its arguments into
// the text a Windows program would see, and starting a program splits a
// command line into the arguments a Windows program would get.
#pragma once
#include <string>
#include <vector>

namespace platform {

// Joins the arguments with blanks, quoting and escaping them by the Windows
// rules (as Windows and Wine build a command line): an empty argument or one
// holding a blank or tab is put in double quotes, an embedded quote becomes
// \" with the backslashes before it doubled, and backslashes before a
// closing quote are doubled. Splitting the text by the same rules gives the
// arguments back.
std::string WindowsCommandLine(int count, const char* const* args);

// Splits a command line as a Windows program's C start-up code does. The
// program name comes first: it runs to the first blank or tab outside double
// quotes, the quotes are dropped and backslashes are plain characters. Then
// the arguments: blanks and tabs separate them outside quotes; 2n
// backslashes before a quote give n backslashes and the quote opens or
// closes a quoted part, 2n + 1 give n and a literal quote; inside a quoted
// part two quotes give one literal quote; other backslashes are plain. No
// other character means anything: a line is never run as shell code.
std::vector<std::string> SplitWindowsCommandLine(const char* line);

// The program a command line names, as CreateProcessA reads it: in double
// quotes, the text up to the closing quote; else the text up to the first
// blank or tab, quotes and all. A line that starts with a blank names none
// ("").
std::string WindowsProgramName(const char* line);

}  // namespace platform
