// Input: the arrow keys move a square (faster with Shift) and every key
// held is listed by its code; typed characters make a line of text
// (Backspace removes one, Return clears it); the mouse draws a cross where
// it points, with its buttons and wheel; joysticks are listed with their
// axes. Keys are DirectInput scan codes,
// the same on every keyboard layout: 1 Escape, 2 ... 11 the digit row,
// 16 ... 25 Q ... P, 28 Return, 42 left Shift, 57 Space, 200 up, 203 left,
// 205 right, 208 down. Escape ends the example.
#include <brindle.h>

const GameSettings gameSettings = {640, 480, 60, 0, 0, 0, "Example: Input"};

namespace {
const double kUp = 200, kDown = 208, kLeft = 203, kRight = 205;
const double kLeftShift = 42, kRightShift = 54;

// The codes of all keys held now, separated by spaces.
RtString HeldKeys() {
    RtString held;
    for (double code = 1; code < 256; code = code + 1) {
        if (KeyDown(code)) held = held + code + " ";
    }
    return held;
}

// Joystick n: its name and its X and Y axes (-1 ... 1).
RtString Joystick(double n) {
    return JoystickName(n) + ": " + FormatNumber(0, 2, JoystickX(n)) + ", " +
           FormatNumber(0, 2, JoystickY(n));
}
}  // namespace

void GameMain() {
    double width, height;
    GetScreenSize(width, height);
    double x = width / 2 - 20, y = height / 2 - 20;
    double wheel = 0;
    RtString typed;
    for (;;) {
        // One character per key press; Return gives 10, Backspace 8.
        RtString c = TypedChar();
        if (c == "\n") {
            typed = "";
        } else if (c == "\b") {
            typed = MidText(typed, 0, typed.Length() - 1);
        } else {
            typed = typed + c;
        }
        // The mouse: its position and buttons, and this frame's wheel turn.
        double mx, my, left, right;
        ReadMouse(mx, my, left, right);
        wheel = wheel + MouseAxis(2);

        // Pixels per millisecond, so the speed does not depend on the frame rate.
        double speed = KeyDown(kLeftShift) || KeyDown(kRightShift) ? 0.6 : 0.2;
        double step = speed * FrameDuration();
        if (KeyDown(kLeft)) x = x - step;
        if (KeyDown(kRight)) x = x + step;
        if (KeyDown(kUp)) y = y - step;
        if (KeyDown(kDown)) y = y + step;
        // Keep the square inside the window.
        if (x < 0) x = 0;
        if (x > width - 40) x = width - 40;
        if (y < 200) y = 200;
        if (y > height - 40) y = height - 40;

        FillRect(0, 0, width - 1, height - 1, 0x402020);
        FillRect(x, y, x + 39, y + 39, 0x40FF80);
        DrawLine(mx - 8, my, mx + 8, my, 0xFFFFFF);
        DrawLine(mx, my - 8, mx, my + 8, 0xFFFFFF);
        PrintText("Keyboard, mouse, joystick", 8, 8);
        PrintText("Arrows move, Shift is faster", 8, 30);
        PrintText(RtString("Keys held: ") + HeldKeys(), 8, 60);
        PrintText(RtString("Typed: ") + typed, 8, 80);
        PrintText(RtString("Mouse ") + mx + ", " + my + " L" + left + " R" + right + " wheel " + wheel, 8, 110);
        PrintText(RtString("Joysticks: ") + JoystickCount(), 8, 140);
        if (JoystickCount() > 0) PrintText(Joystick(0), 8, 160);
        ShowFrame();
    }
}
