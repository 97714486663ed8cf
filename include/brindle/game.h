// What a game program provides to the runtime: its settings block values and
// its main routine. A game built with other settings differs only in these.
#pragma once

struct GameSettings {
    int windowWidth;      // client area and drawing surface, pixels
    int windowHeight;
    int framesPerSecond;  // frame-rate limit; 0 or less gives a 2 ms period
    int startFullscreen;  // non-zero: fullscreen at start-up
    int debugTrace;       // non-zero: debug build (no pausing, end trace)
    int useDirectMouse;   // non-zero: device mouse
    const char* title;    // the program's title, the window caption
};

// Defined by the game program.
extern const GameSettings gameSettings;
void GameMain();
