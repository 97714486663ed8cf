// My game: a square that the arrow keys move over a dark ground.
// GameMain runs after the window is open; every pass of its loop draws one
// frame and ShowFrame presents it. Escape (or closing the window) ends it.
#include <brindle.h>

namespace {
// Key codes are DirectInput scan codes.
const double kLeft = 203, kRight = 205, kUp = 200, kDown = 208;
// Colours are red + 256 * green + 65536 * blue.
const double kGround = 0x301808, kSquare = 0x20C0FF;
double x = 300, y = 240;  // the square's top left corner
}  // namespace

void GameMain() {
    double width, height;
    GetScreenSize(width, height);
    for (;;) {
        // Move by the time the last frame took, so the speed does not
        // depend on the frame rate: 0.25 pixels per millisecond.
        double step = FrameDuration() / 4;
        if (KeyDown(kLeft)) x = x - step;
        if (KeyDown(kRight)) x = x + step;
        if (KeyDown(kUp)) y = y - step;
        if (KeyDown(kDown)) y = y + step;

        FillRect(0, 0, width - 1, height - 1, kGround);
        FillRect(x, y, x + 39, y + 39, kSquare);
        PrintText("Hello from Brindle!", 16, 16);
        PrintText("Arrows move, Escape ends.", 16, 40);
        ShowFrame();
    }
}
