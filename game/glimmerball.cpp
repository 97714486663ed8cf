// Glimmerball. Until the scene lands this shows the window and presents
// frames: ShowFrame pumps the window's messages and waits while paused.
#include <brindle.h>

const GameSettings gameSettings = {
    640,  // windowWidth
    480,  // windowHeight
    60,   // framesPerSecond
    0,    // startFullscreen
    0,    // debugTrace
    0,    // useDirectMouse
    "Glimmerball",
};

void GameMain() {
    for (;;) ShowFrame();
}
