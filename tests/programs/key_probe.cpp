// A debug-build game for the keyboard rules: it reports the elapsed time at
// its first statement and the Space key through KeyDown on standard output,
// marks line 42 and presents frames until the program is ended from outside
// (Escape, Alt+F4, closing the window). With the argument "noescape" Escape
// does not end it, and "escape held" reports a frame that went by with
// Escape held; with "wait" it first waits for a key with WaitForKey.
#include <brindle.h>

#include <cstdio>

const GameSettings gameSettings = {320, 240, 60, 0, 1, 0, "Key Probe"};

void GameMain() {
    std::printf("elapsed %.3f\n", ElapsedTime());
    std::fflush(stdout);
    if (CommandLine() == "noescape") SetEscapeEnds(0);
    if (CommandLine() == "wait") {
        std::printf("waiting\n");
        std::fflush(stdout);
        WaitForKey();
        std::printf("key taken\n");
        std::fflush(stdout);
    }
    MarkLine(1, 42);
    bool reportedRunning = false;
    bool spaceHeld = false;
    bool escapeReported = false;
    for (;;) {
        bool space = KeyDown(57) != 0;
        if (space != spaceHeld) {
            std::printf(space ? "space down\n" : "space up\n");
            std::fflush(stdout);
            spaceHeld = space;
        }
        bool escape = KeyDown(1) != 0;
        ShowFrame();
        // Still here after a frame that began with Escape held.
        if (escape && KeyDown(1) != 0 && !escapeReported) {
            std::printf("escape held\n");
            std::fflush(stdout);
            escapeReported = true;
        }
        if (!reportedRunning) {
            std::printf("running\n");
            std::fflush(stdout);
            reportedRunning = true;
        }
    }
}
