#include "platform/command_line.h"

#include <cstring>

namespace platform {

std::string WindowsCommandLine(int count, const char* const* args) {
    std::string line;
    for (int i = 0; i < count; ++i) {
        const char* arg = args[i];
        if (i > 0) line += ' ';
        bool quoted = !*arg || std::strpbrk(arg, " \t");
        if (quoted) line += '"';
        size_t backslashes = 0;  // the run just copied
        for (const char* c = arg; *c; ++c) {
            if (*c == '"') line.append(backslashes + 1, '\\');
            backslashes = *c == '\\' ? backslashes + 1 : 0;
            line += *c;
        }
        if (quoted) {
            line.append(backslashes, '\\');
            line += '"';
        }
    }
    return line;
}

}  // namespace platform
