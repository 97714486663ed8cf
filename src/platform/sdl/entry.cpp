// Process entry on Linux: the command line after the program name goes to
// ProgramEntry. Arguments are joined with blanks; one holding a blank or tab
// is quoted, as a Windows command line would show it.
#include <string>

#include "platform/program_entry.h"

int main(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        std::string arg = argv[i];
        if (arg.find_first_of(" \t") != std::string::npos)
            line += '"' + arg + '"';
        else
            line += arg;
    }
    return ProgramEntry(nullptr, nullptr, line.c_str(), 10);
}
