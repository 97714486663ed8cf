// Starts the runtime once per benchmark program, as a game's start-up does
// (settings, window, display). True on the first call only, so a benchmark's
// own set-up after it runs once too.
#pragma once
#include <brindle/game.h>

#include "core/startup.h"

inline bool StartRuntimeOnce() {
    static bool started = false;
    if (started) return false;
    started = true;
    ApplySettings(gameSettings, "");
    InitRuntime(nullptr, nullptr, "", 10, gameSettings.title);
    return true;
}
