// Libraries and other programs on Linux: the dynamic loader, and programs
// started directly (never through a shell) from a command line split by the
// Windows rules.
#include <dlfcn.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/command_line.h"
#include "platform/external_code.h"
#include "platform/files.h"
#include "platform/system.h"

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

bool HasSeparator(const char* name) { return std::strpbrk(name, "/\\") != nullptr; }

// The running program's folder with a trailing '/', or "".
std::string ProgramFolder() {
    std::string path = ExecutablePath();
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A bare name as Windows finds it first: in the running program's folder.
// "" when no file of that name is there.
std::string BesideProgram(const char* name) {
    const std::string folder = ProgramFolder();
    if (folder.empty()) return std::string();
    std::string path = folder + name;
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? path : std::string();
}

// The exit code Windows gives a program that ends the way a signal ended
// this one: abort() ends with 3; a crash with the code of its exception; a
// break with STATUS_CONTROL_C_EXIT; a program killed from outside with 1
// (what Task Manager and taskkill pass to TerminateProcess).
uint32_t WindowsCodeForSignal(int signal) {
    switch (signal) {
        case SIGABRT: return 3;
        case SIGSEGV:
        case SIGBUS: return 0xC0000005u;   // STATUS_ACCESS_VIOLATION
        case SIGILL: return 0xC000001Du;   // STATUS_ILLEGAL_INSTRUCTION
        case SIGFPE: return 0xC0000094u;   // STATUS_INTEGER_DIVIDE_BY_ZERO
        case SIGINT: return 0xC000013Au;   // STATUS_CONTROL_C_EXIT
        default: return 1;
    }
}
}  // namespace

Library LoadLibraryNamed(const char* name) {
    // An empty name would give the program itself; LoadLibraryA refuses it.
    if (!name || !*name) return nullptr;
    if (HasSeparator(name)) {
        const std::string path = PathOnDisk(name);
        return reinterpret_cast<Library>(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
    }
    // A bare name: the program's own folder first, as LoadLibraryA looks
    // there first, then the loader's usual search.
    const std::string beside = BesideProgram(name);
    if (!beside.empty())
        if (void* library = dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL))
            return reinterpret_cast<Library>(library);
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
    const std::string program = WindowsProgramName(commandLine);
    if (program.empty()) return nullptr;
    // The program file as CreateProcessA finds it: a name with a folder as
    // it stands (found on the disk as Windows would), a bare name beside the
    // running program first, then along PATH.
    std::string file;
    if (HasSeparator(program.c_str())) {
        file = PathOnDisk(program.c_str());
    } else {
        file = BesideProgram(program.c_str());
        if (file.empty()) file = program;
    }
    // The program gets the arguments its C start-up code would split.
    std::vector<std::string> args = SplitWindowsCommandLine(commandLine);
    ReapDetached();

    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // No handle inheritance: only standard input, output and error.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    // A new program starts as a fresh one: default signal handling and no
    // signals blocked, whatever this process chose for itself.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t pid = 0;
    // posix_spawnp searches PATH only for a name without a '/'; it reports a
    // program that cannot be run (missing, not executable) as a failure.
    int failed = posix_spawnp(&pid, file.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
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
        // Linux keeps only the low 8 bits of the code a program ends with
        // (exit(259) reads back as 3); the rest is lost before it gets here.
        exitCode = static_cast<uint32_t>(WEXITSTATUS(status));
    } else {
        exitCode = WindowsCodeForSignal(WTERMSIG(status));
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
