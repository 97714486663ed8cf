// Shows the window with the default settings and presents frames until the
// window is closed.
#include <brindle.h>

const GameSettings gameSettings = {640, 480, 60, 0, 0, 0, "Glimmerball"};

void GameMain() {
    for (;;) ShowFrame();
}
