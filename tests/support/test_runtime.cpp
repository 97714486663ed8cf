#include "test_runtime.h"

#include "core/startup.h"

// Tests link no game: these stand in for the game program.
const GameSettings gameSettings = {640, 480, 60, 0, 0, 0, "Brindle test"};
void GameMain() {}

namespace {
bool started = false;
}

void StartTestRuntime() { StartTestRuntime(gameSettings); }

void StartTestRuntime(const GameSettings& settings) {
    if (started) return;
    started = true;
    ApplySettings(settings, "");
    InitRuntime(nullptr, nullptr, "", 10, settings.title);
}
