// The game's settings: read once by the runtime at start-up.
#include <brindle.h>

const GameSettings gameSettings = {
    640,        // windowWidth: the drawing surface in pixels
    480,        // windowHeight
    60,         // framesPerSecond: ShowFrame waits for the next 1/60 s
    0,          // startFullscreen: 1 starts in full screen
    0,          // debugTrace: 1 writes a trace of the run when it ends
    0,          // useDirectMouse: 1 reads the mouse as a device
    "My Game",  // title: the window caption
};
