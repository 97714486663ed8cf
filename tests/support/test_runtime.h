// Starts the runtime for tests the way ProgramEntry does, without a game:
// settings, window, display and the rest of start-up. Safe to call repeatedly.
#pragma once
#include <brindle/game.h>

void StartTestRuntime();
void StartTestRuntime(const GameSettings& settings);
