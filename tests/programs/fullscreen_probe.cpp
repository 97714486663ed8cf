// A game that asks for fullscreen at start-up and then presents frames
// until it is ended.
#include <brindle.h>

#include <cstdio>

const GameSettings gameSettings = {640, 480, 60, 1, 0, 0, "Fullscreen Probe"};

void GameMain() {
    for (bool reported = false;; reported = true) {
        ShowFrame();
        if (!reported) {
            std::printf("running\n");
            std::fflush(stdout);
        }
    }
}
