// Libraries and other programs on Linux: the dynamic loader, and command
// lines run by the POSIX shell.
#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "platform/external_code.h"

extern char** environ;

namespace platform {

namespace {
// What a Process handle points to on Linux.
struct ChildProgram {
    pid_t pid;
};
ChildProgram* Native(Process process) { return reinterpret_cast<ChildProgram*>(process); }
void* Native(Library library) { return reinterpret_cast<void*>(library); }

// Programs forgotten while still running, reaped once they end so that they
// do not stay behind as zombies (Windows needs no such step).
std::mutex detachedLock;
std::vector<pid_t> detached;

void ReapDetached() {
    std::lock_guard<std::mutex> hold(detachedLock);
    for (size_t i = 0; i < detached.size();) {
        if (waitpid(detached[i], nullptr, WNOHANG) != 0) {
            detached[i] = detached.back();
            detached.pop_back();
        } else {
            ++i;
        }
    }
}
}  // namespace

Library LoadLibraryNamed(const char* name) {
    // An empty name would give the program itself; LoadLibraryA refuses it.
    if (!name || !*name) return nullptr;
    return reinterpret_cast<Library>(dlopen(name, RTLD_NOW | RTLD_LOCAL));
}

void* LibraryFunction(Library library, const char* name) {
    if (!library || !name) return nullptr;
    return dlsym(Native(library), name);
}

void FreeLibraryHandle(Library library) {
    if (library) dlclose(Native(library));
}

Process StartProgram(const char* commandLine, bool) {
    // A program's window is its own business on X; "show" has nothing to do.
    if (!commandLine) return nullptr;
    ReapDetached();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // No handle inheritance: only standard input, output and error.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    char shell[] = "/bin/sh";
    char dashC[] = "-c";
    std::vector<char> text(commandLine, commandLine + std::strlen(commandLine) + 1);
    char* argv[] = {shell, dashC, text.data(), nullptr};
    pid_t pid = 0;
    int failed = posix_spawn(&pid, shell, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) return nullptr;
    return reinterpret_cast<Process>(new ChildProgram{pid});
}

bool ProgramExitCode(Process process, uint32_t& exitCode) {
    ChildProgram* child = Native(process);
    int status = 0;
    pid_t r = waitpid(child->pid, &status, WNOHANG);
    if (r == 0) return false;
    if (r < 0) {
        exitCode = 0;  // already collected elsewhere: nothing more to learn
    } else if (WIFEXITED(status)) {
        exitCode = static_cast<uint32_t>(WEXITSTATUS(status));
    } else {
        // Ended by a signal: the code a shell reports for it.
        exitCode = 128u + static_cast<uint32_t>(WTERMSIG(status));
    }
    child->pid = -1;
    return true;
}

void CloseProgram(Process process) {
    if (!process) return;
    ChildProgram* child = Native(process);
    if (child->pid > 0 && waitpid(child->pid, nullptr, WNOHANG) == 0) {
        std::lock_guard<std::mutex> hold(detachedLock);
        detached.push_back(child->pid);
    }
    delete child;
}

}  // namespace platform
