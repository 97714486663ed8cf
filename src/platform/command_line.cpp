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

namespace {
bool Blank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

std::vector<std::string> SplitWindowsCommandLine(const char* line) {
    std::vector<std::string> args;
    if (!line) return args;
    const char* p = line;
    while (Blank(*p)) ++p;
    if (!*p) return args;

    std::string program;
    bool inQuotes = false;
    for (; *p && (inQuotes || !Blank(*p)); ++p) {
        if (*p == '"')
            inQuotes = !inQuotes;
        else
            program += *p;
    }
    args.push_back(program);

    for (;;) {
        while (Blank(*p)) ++p;
        if (!*p) return args;
        std::string arg;
        inQuotes = false;
        while (*p && (inQuotes || !Blank(*p))) {
            size_t backslashes = 0;
            while (*p == '\\') ++backslashes, ++p;
            if (*p != '"') {
                arg.append(backslashes, '\\');
                if (*p && (inQuotes || !Blank(*p))) arg += *p++;
                continue;
            }
            arg.append(backslashes / 2, '\\');
            if (backslashes % 2) {
                arg += '"';
            } else if (inQuotes && p[1] == '"') {
                arg += '"';  // "" inside quotes
                ++p;
            } else {
                inQuotes = !inQuotes;
            }
            ++p;
        }
        args.push_back(arg);
    }
}

std::string WindowsProgramName(const char* line) {
    if (!line) return std::string();
    if (*line == '"') {
        const char* end = std::strchr(line + 1, '"');
        return end ? std::string(line + 1, end) : std::string(line + 1);
    }
    const char* end = line;
    while (*end && !Blank(*end)) ++end;
    return std::string(line, end);
}

}  // namespace platform
