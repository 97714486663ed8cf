// Glimmerball's settings block for the frame-rate benchmark: the only change
// is the window size, large enough that the scene, not the 2 ms frame period,
// limits the frame rate.
#include <brindle.h>

const GameSettings gameSettings = {
    1600,  // windowWidth
    1200,  // windowHeight
    60,    // framesPerSecond
    0,     // startFullscreen
    0,     // debugTrace
    0,     // useDirectMouse
    "Glimmerball",
};
