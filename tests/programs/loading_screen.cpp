// A game that does nothing for ten minutes, so that the "Loading..." frame of
// start-up stays on the screen for a screenshot however slowly the test gets
// to it; the test ends it.
#include <brindle.h>

#include <chrono>
#include <thread>

const GameSettings gameSettings = {640, 480, 60, 0, 0, 0, "Loading Screen"};

void GameMain() { std::this_thread::sleep_for(std::chrono::minutes(10)); }
