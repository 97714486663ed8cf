// Libraries and other programs on Windows.
#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/external_code.h"
#include "platform/win32/win32_handles.h"

namespace platform {

Library LoadLibraryNamed(const char* name) {
    if (!name) return nullptr;
    return win32::LibraryHandle(LoadLibraryA(name));
}

void* LibraryFunction(Library library, const char* name) {
    if (!library || !name) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(win32::Hmodule(library), name));
}

void FreeLibraryHandle(Library library) {
    if (library) FreeLibrary(win32::Hmodule(library));
}

Process StartProgram(const char* commandLine, bool show) {
    if (!commandLine) return nullptr;
    // CreateProcessA may write into the command line.
    std::vector<char> text(commandLine, commandLine + std::strlen(commandLine) + 1);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show ? SW_SHOWNORMAL : SW_HIDE;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, text.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, &startup, &info))
        return nullptr;
    CloseHandle(info.hThread);
    return win32::ProcessHandle(info.hProcess);
}

bool ProgramExitCode(Process process, uint32_t& exitCode) {
    HANDLE h = win32::Native(process);
    DWORD code = 0;
    if (!GetExitCodeProcess(h, &code)) {
        exitCode = 0;  // nothing more can be learnt about it
        return true;
    }
    // A program may end with the code STILL_ACTIVE itself: only a process
    // that is still running counts as running.
    if (code == STILL_ACTIVE && WaitForSingleObject(h, 0) == WAIT_TIMEOUT) return false;
    exitCode = code;
    return true;
}

void CloseProgram(Process process) {
    if (process) CloseHandle(win32::Native(process));
}

}  // namespace platform
