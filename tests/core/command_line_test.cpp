// The Linux process entry builds the program's command line by the Windows
// quoting rules, so CommandLine() gives the same text as on Windows, and
// the splitter RunProgram uses gives back the arguments it was built from.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/command_line.h"

namespace {

// The arguments after the program name, split by the Windows rules.
std::vector<std::string> SplitArguments(const std::string& line) {
    std::vector<std::string> args = platform::SplitWindowsCommandLine(("program " + line).c_str());
    args.erase(args.begin());
    return args;
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
        EXPECT_EQ(SplitArguments(line), c.args) << line;
    }
}

}  // namespace
