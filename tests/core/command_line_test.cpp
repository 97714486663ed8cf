// The Linux process entry builds the program's command line by the Windows
// quoting rules, so CommandLine() gives the same text as on Windows and a
// program splits it back into the arguments it was given.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/command_line.h"

namespace {

// Splits a command line as the Microsoft C runtime does: blanks separate
// arguments outside quotes; 2n backslashes before a quote give n backslashes
// and the quote opens or closes a quoted part; 2n + 1 give n and a literal
// quote; other backslashes are literal.
std::vector<std::string> SplitLikeWindows(const std::string& line) {
    std::vector<std::string> args;
    size_t p = 0;
    while (true) {
        while (p < line.size() && (line[p] == ' ' || line[p] == '\t')) ++p;
        if (p == line.size()) return args;
        std::string arg;
        bool inQuotes = false;
        while (p < line.size() && (inQuotes || (line[p] != ' ' && line[p] != '\t'))) {
            size_t slashes = 0;
            while (p < line.size() && line[p] == '\\') ++slashes, ++p;
            if (p < line.size() && line[p] == '"') {
                arg.append(slashes / 2, '\\');
                if (slashes % 2) arg += '"';
                else inQuotes = !inQuotes;
                ++p;
            } else {
                arg.append(slashes, '\\');
                if (p < line.size() && (inQuotes || (line[p] != ' ' && line[p] != '\t'))) arg += line[p++];
            }
        }
        args.push_back(arg);
    }
}

std::string Join(const std::vector<std::string>& args) {
    std::vector<const char*> pointers;
    for (const std::string& a : args) pointers.push_back(a.c_str());
    return platform::WindowsCommandLine(static_cast<int>(pointers.size()), pointers.data());
}

TEST(CommandLine, QuotesAndEscapesByTheWindowsRules) {
    struct Case {
        std::vector<std::string> args;
        const char* line;
    };
    const Case cases[] = {
        {{"a b", "c\"d", "", "e\\f", "plain"}, "\"a b\" c\\\"d \"\" e\\f plain"},
        {{}, ""},
        {{"one"}, "one"},
        {{"tab\there"}, "\"tab\there\""},
        {{"x\\\"y"}, "x\\\\\\\"y"},             // x\"y: backslash doubled, quote escaped
        {{"dir\\", "in space\\"}, "dir\\ \"in space\\\\\""},  // a closing quote's backslashes doubled
        {{"\\\\server\\share"}, "\\\\server\\share"},
        {{"\"", "\"\""}, "\\\" \\\"\\\""},
        {{"a\\\\ b"}, "\"a\\\\ b\""},           // backslashes inside quotes stay single
    };
    for (const Case& c : cases) {
        std::string line = Join(c.args);
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(SplitLikeWindows(line), c.args) << line;
    }
}

}  // namespace
