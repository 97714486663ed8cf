// Frame presentation and timing.
#include <brindle/core.h>

#include "core/clock.h"
#include "core/runtime_state.h"
#include "core/window.h"
#include "platform/system.h"

namespace {
double framePeriod = 1000.0 / 60.0;
double deadline = 0;
}  // namespace

void ShowFrame() {
    runtime.previousFrameStart = runtime.frameStart;
    runtime.frameStart = Now();
    while (runtime.paused) {
        PumpMessages();
        platform::SleepMs(100);
    }
    PumpMessages();
    double now = Now();
    if (deadline < now) deadline = now;
    while (deadline >= Now()) PumpMessages();
    deadline += framePeriod;
}

void SetFrameRate(double fps) {
    int n = static_cast<int>(fps);
    framePeriod = n > 0 ? 1000.0 / n : 2.0;
}

double FrameDuration() {
    double d = Now() - runtime.previousFrameStart;
    return d > 0 ? d : 1;
}

double ElapsedTime() { return Now() - runtime.programStart; }

void SetEscapeEnds(double flag) { runtime.escapeEnds = flag != 0; }
