// Functions of other libraries and other programs.
#include <brindle/files.h>

#include <cstring>

#include "core/error_log.h"
#include "core/runtime_state.h"
#include "platform/external_code.h"
#include "platform/system.h"

void* ImportFunction(const RtString& library, const RtString& function, void*& pointer) {
    platform::Library module = platform::LoadLibraryNamed(library.Text());
    if (!module) return nullptr;
    // Every call loads the library again; each load is released at exit.
    runtime.files.loadedModules.push_back(module);
    pointer = platform::LibraryFunction(module, function.Text());
    return pointer;
}

double RunProgram(const RtString& commandLine, double wait, double show, double& exitCode) {
    exitCode = 0;
    // The command line has room for 512 bytes (the start call may write into
    // it): a longer one is refused rather than cut.
    constexpr size_t kCommandLineRoom = 512;
    if (std::strlen(commandLine.Text()) >= kCommandLineRoom) {
        AppendErrorLog("RunProgram: command line too long");
        return 0;
    }
    platform::Process process = platform::StartProgram(commandLine.Text(), show != 0);
    if (!process) return 0;
    if (wait != 0) {
        constexpr uint32_t kStillActive = 259;  // what Windows reports while it runs
        for (;;) {
            uint32_t code = kStillActive;
            bool ended = platform::ProgramExitCode(process, code);
            exitCode = static_cast<double>(code);
            if (ended) break;
            platform::SleepMs(100);
        }
    }
    platform::CloseProgram(process);
    return 1;
}
