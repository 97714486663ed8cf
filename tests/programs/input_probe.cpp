// Input end to end, driven by xdotool: the program reports what it reads on
// standard output, one line per event, and writes what the line editor read
// to text-line.txt in its directory. Modes (the command line):
//   mouse   per frame with motion or a change: "mouse DX DY AGAIN X Y B1 B2 WHEEL"
//           (AGAIN: the second MouseAxis read of the frame gave the same
//           motion); typed keys switch: f free ("free"), c captured
//           ("captured"), p puts the kept position far outside ("placed").
//   text    ReadTextLine into text-line.txt (line 1), then ReadNumberLine
//           (line 2, the number), then for each character TypedChar
//           gives "typed CHAR KEYTYPED" (KeyTyped called right after it).
//   click   "waiting", then WaitForClick, then "clicked" and the end.
// Every mode prints "ready" once its first frame is shown; Escape ends it.
// From then on frames.txt in its directory gets a line with the number of
// frames presented each time it grows, so that the test can hold a key for
// a few frames however slowly they come on a busy machine.
// The mouse is the device mouse (useDirectMouse); prog_input_probe_cursor
// is the same program on the cursor fallback.
#include <brindle.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "core/frame.h"
#include "core/runtime_state.h"
#include "input/typed_chars.h"

#ifndef INPUT_PROBE_DIRECT_MOUSE
#define INPUT_PROBE_DIRECT_MOUSE 1
#endif

const GameSettings gameSettings = {320, 240, 60, 0, 0, INPUT_PROBE_DIRECT_MOUSE, "Input Probe"};

namespace {
void Say(const char* text) {
    std::printf("%s\n", text);
    std::fflush(stdout);
}

// Watches the frame count from a thread of its own (the line editor runs
// its frames inside the runtime); each line is written in one piece.
void ReportFrames() {
    std::thread([] {
        std::FILE* f = std::fopen("frames.txt", "wb");
        if (!f) return;
        long long seen = -1;
        for (;;) {
            const long long n = PresentedFrames();
            if (n != seen) {
                char line[32];
                const int length = std::snprintf(line, sizeof line, "%lld\n", n);
                std::fwrite(line, 1, static_cast<size_t>(length), f);
                std::fflush(f);
                seen = n;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }).detach();
}

void MouseMode() {
    double lastX = -1, lastY = -1, lastB1 = 0, lastB2 = 0;
    for (;;) {
        ShowFrame();
        const double dx = MouseAxis(0), dy = MouseAxis(1), wheel = MouseAxis(2);
        const bool again = MouseAxis(0) == dx && MouseAxis(1) == dy;
        double x, y, b1, b2;
        ReadMouse(x, y, b1, b2);
        if (dx || dy || wheel || x != lastX || y != lastY || b1 != lastB1 || b2 != lastB2) {
            std::printf("mouse %g %g %d %g %g %g %g %g\n", dx, dy, again ? 1 : 0, x, y, b1, b2, wheel);
            std::fflush(stdout);
            lastX = x, lastY = y, lastB1 = b1, lastB2 = b2;
        }
        const RtString c = TypedChar();
        if (c == "f") {
            SetMouseFree(1);
            Say("free");
        } else if (c == "c") {
            SetMouseFree(0);
            Say("captured");
        } else if (c == "p") {
            SetMousePosition(-5000, 1e7);
            Say("placed");
        }
    }
}

void TextMode() {
    RtString line = "";
    ShowFrame();
    ReportFrames();
    Say("ready");
    ReadTextLine(line, 10, 10);
    double number = 0;
    Say("line read");
    ReadNumberLine(number, 10, 30);
    std::FILE* f = std::fopen("text-line.txt", "wb");
    if (f) {
        std::fprintf(f, "%s\n%g\n", line.Text(), number);
        std::fclose(f);
    }
    Say("number read");
    for (;;) {
        ShowFrame();
        const RtString c = TypedChar();
        if (c.length()) {
            std::printf("typed %s %d\n", c.Text(), KeyTyped(*runtime.input));
            std::fflush(stdout);
        }
    }
}
}  // namespace

void GameMain() {
    const RtString mode = CommandLine();
    if (mode == "text") TextMode();
    ShowFrame();
    ReportFrames();
    if (mode == "click") {
        Say("waiting");
        WaitForClick();
        Say("clicked");
        End();
    }
    Say("ready");
    MouseMode();
}
