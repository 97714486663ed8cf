// Glimmerball's settings block: the values the game was built with.
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
