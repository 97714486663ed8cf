// Backgrounds and fades: a picture loaded as the background is drawn behind
// every frame by itself, so the loop draws only what moves (a cloud). Every
// five seconds, or on Space, the screen cross-fades to the other picture.
// Escape ends the example.
#include <brindle.h>

const GameSettings gameSettings = {640, 480, 60, 0, 0, 0, "Example: Backgrounds"};

namespace {
const double kSpace = 57;  // key codes are DirectInput scan codes

// A cloud of three overlapping white boxes.
void DrawCloud(double x, double y) {
    FillRect(x, y + 10, x + 90, y + 30, 0xF0F0F0);
    FillRect(x + 15, y, x + 55, y + 35, 0xFFFFFF);
    FillRect(x + 45, y + 5, x + 75, y + 32, 0xFFFFFF);
}
}  // namespace

void GameMain() {
    double width, height;
    GetScreenSize(width, height);
    // Background buffer 0: drawn behind each frame until replaced. The
    // pictures are packed into the executable by the build.
    LoadBackground("sky.bmp");
    RtString showing = "sky.bmp";
    double nextFade = ElapsedTime() + 5000;
    double cloudX = -100;
    bool spaceWasDown = false;
    for (;;) {
        // Space fades at once: only on the press, not while it is held.
        bool spaceDown = KeyDown(kSpace) != 0;
        bool fadeNow = spaceDown && !spaceWasDown;
        spaceWasDown = spaceDown;
        if (fadeNow || ElapsedTime() > nextFade) {
            // FadeToBackground runs its own frames (about fifty) and
            // returns with the new picture as background buffer 0.
            showing = showing == "sky.bmp" ? "dusk.bmp" : "sky.bmp";
            FadeToBackground(showing);
            nextFade = ElapsedTime() + 5000;
        }
        cloudX = cloudX + FrameDuration() / 20;
        if (cloudX > width) cloudX = -100;
        DrawCloud(cloudX, 60);

        PrintText("Backgrounds and fades", 8, 8);
        PrintText(RtString("Showing ") + showing + ", Space fades", 8, 30);
        ShowFrame();
    }
}
