// File dialogs on Linux: the desktop's own file chooser, run as a child
// process that prints the chosen path (kdialog on KDE, zenity elsewhere).
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/file_dialog.h"

extern char** environ;

namespace platform {

namespace {

struct FilterPair {
    std::string description;
    std::vector<std::string> patterns;
};

// The Windows list: description, patterns ("*.bmp;*.jpg"), ... up to an
// empty text. A description without patterns at the end is left out.
std::vector<FilterPair> ParseFilters(const char* list) {
    std::vector<FilterPair> pairs;
    const char* p = list;
    while (p && *p) {
        FilterPair pair;
        pair.description = p;
        p += std::strlen(p) + 1;
        if (!*p) break;
        std::string patterns = p;
        p += patterns.size() + 1;
        size_t start = 0;
        while (start <= patterns.size()) {
            size_t end = patterns.find(';', start);
            if (end == std::string::npos) end = patterns.size();
            std::string one = patterns.substr(start, end - start);
            while (!one.empty() && one.front() == ' ') one.erase(0, 1);
            while (!one.empty() && one.back() == ' ') one.pop_back();
            if (!one.empty()) pair.patterns.push_back(one);
            start = end + 1;
        }
        if (!pair.patterns.empty()) pairs.push_back(pair);
    }
    return pairs;
}

// Windows patterns ignore case and "*.*" takes names without a dot too; GTK
// globs are exact, so letters become [xX] and "*.*" becomes "*".
std::string GtkPattern(const std::string& pattern) {
    if (pattern == "*.*") return "*";
    std::string out;
    for (unsigned char c : pattern) {
        if (std::isalpha(c) && c < 0x80) {
            out += '[';
            out += static_cast<char>(std::tolower(c));
            out += static_cast<char>(std::toupper(c));
            out += ']';
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::vector<std::string> ZenityArguments(bool open, const std::vector<FilterPair>& filters,
                                         const std::string& directory) {
    std::vector<std::string> args = {"zenity", "--file-selection"};
    args.push_back(open ? "--title=Open" : "--title=Save As");
    if (!open) args.push_back("--save");
    args.push_back("--filename=" + directory);
    for (const FilterPair& f : filters) {
        std::string filter = "--file-filter=" + f.description + " |";
        for (const std::string& p : f.patterns) filter += " " + GtkPattern(p);
        args.push_back(filter);
    }
    return args;
}

std::vector<std::string> KdialogArguments(bool open, const std::vector<FilterPair>& filters,
                                          const std::string& directory) {
    std::vector<std::string> args = {"kdialog", "--title", open ? "Open" : "Save As"};
    args.push_back(open ? "--getopenfilename" : "--getsavefilename");
    args.push_back(directory);
    std::string list;
    for (const FilterPair& f : filters) {
        if (!list.empty()) list += "\n";
        for (size_t i = 0; i < f.patterns.size(); ++i)
            list += (i ? " " : "") + (f.patterns[i] == "*.*" ? std::string("*") : f.patterns[i]);
        list += "|" + f.description;
    }
    if (!list.empty()) args.push_back(list);
    return args;
}

bool OnPath(const char* program) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::string dirs = path;
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string candidate = dirs.substr(start, end - start);
        if (candidate.empty()) candidate = ".";
        if (access((candidate + "/" + program).c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

bool KdeDesktop() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    return desktop && std::strstr(desktop, "KDE") && OnPath("kdialog");
}

// Runs the chooser, collecting what it prints; false when it could not run
// or failed (rather than being cancelled, which ends it with code 1).
bool RunChooser(const std::vector<std::string>& args, std::string& output, int& exitCode) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (failed) {
        close(pipeFds[0]);
        return false;
    }
    char buf[4096];
    for (;;) {
        ssize_t n = read(pipeFds[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        output.append(buf, static_cast<size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    if (!WIFEXITED(status)) return false;
    exitCode = WEXITSTATUS(status);
    return exitCode == 0 || exitCode == 1;
}

}  // namespace

bool ShowFileDialog(NativeWindow, bool open, const char* filters, const char* directory,
                    std::string& chosen) {
    chosen.clear();
    std::vector<FilterPair> pairs = ParseFilters(filters);
    // Both choosers take a directory by its trailing "/".
    std::string start = directory ? directory : "";
    if (start.empty() || start.back() != '/') start += '/';
    std::vector<std::string> args =
        KdeDesktop() ? KdialogArguments(open, pairs, start) : ZenityArguments(open, pairs, start);
    std::string output;
    int exitCode = 0;
    if (!RunChooser(args, output, exitCode)) return false;
    if (exitCode != 0) return true;  // cancelled
    // The path as the file system spells it, without the line end.
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
    chosen = output;
    return true;
}

}  // namespace platform
