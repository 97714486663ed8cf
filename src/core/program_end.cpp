#include "core/program_end.h"

#include <brindle/core.h>

#include <cstdio>
#include <cstdlib>

#include "core/error_log.h"
#include "core/runtime_state.h"
#include "lang/fatal_error.h"
#include "platform/system.h"
#include "platform/native_window.h"

namespace {
// Values (lang) end the program through this on an error they cannot answer.
// Set while the process starts, before any game code: this file holds
// EndProgram, so every program that can end links it.
[[noreturn]] void EndWithError(int code) {
    RecordError(code);
    EndProgram();
}
const bool fatalErrorsEndTheProgram = (SetFatalErrorHandler(EndWithError), true);

EndSteps endSteps;

void Run(void (*step)()) {
    if (step) step();
}

void AppendNumber(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    AppendErrorLog(text);
}
}  // namespace

double RecordError(double code) {
    runtime.errorCode = code;
    runtime.errorLine = runtime.traceLine;
    return code;
}

void MarkLine(double tag, double line) {
    runtime.traceTag = tag;
    runtime.traceLine = line;
}

void SetEndSteps(const EndSteps& steps) { endSteps = steps; }

void End() {
    RecordError(0);
    EndProgram();
}

void EndProgram() {
    platform::EndTimerPeriod();
    Run(endSteps.stopMusic);
    if (runtime.debugTrace) {
        AppendErrorLog("-End On Line");
        AppendNumber(runtime.errorCode);
        AppendNumber(runtime.errorLine - 1);
        AppendNumber(runtime.traceLine);
        AppendNumber(runtime.traceTag);
    }
    Run(endSteps.releaseDevices);
    if (runtime.mainWindow) platform::DestroyMainWindow(runtime.mainWindow);
    runtime.mainWindow = nullptr;
    // The renderer outlives the window (it is released by the static
    // destructors); it must not reach the destroyed window then.
    runtime.renderer.window = nullptr;
    platform::PostQuit(0);
    platform::InvalidateScreen();
    std::exit(0);
}
