// Command lines from untrusted text (typed names, file names) split by the
// Windows rules: every line splits without fault, and joining the
// arguments after the program name by the same rules splits back to them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);  // up to the first NUL
    std::vector<std::string> args = platform::SplitWindowsCommandLine(line.c_str());
    if (args.empty()) return 0;
    if (args[0].find('"') != std::string::npos) __builtin_trap();
    std::vector<const char*> rest;
    for (size_t i = 1; i < args.size(); ++i) rest.push_back(args[i].c_str());
    const std::string joined =
        "program " + platform::WindowsCommandLine(static_cast<int>(rest.size()), rest.data());
    std::vector<std::string> again = platform::SplitWindowsCommandLine(joined.c_str());
    if (again.size() != args.size()) __builtin_trap();
    for (size_t i = 1; i < args.size(); ++i)
        if (again[i] != args[i]) __builtin_trap();
    return 0;
}
