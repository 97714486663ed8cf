// Process entry on Linux: the command line after the program name goes to
// ProgramEntry, built from the arguments by the Windows quoting rules, so a
// program sees the same text on both targets and can split it back.
#include "platform/command_line.h"
#include "platform/program_entry.h"

int main(int argc, char** argv) {
    std::string line = platform::WindowsCommandLine(argc - 1, argv + 1);
    return ProgramEntry(nullptr, nullptr, line.c_str(), 10);
}
