// Input commands: keys by DirectInput scan code (1 = Escape, 2..11 = the
// digit row, 28 = Return, 42 = left Shift, 57 = Space, 59..68 = F1..F10,
// 200 = cursor up ...).
#pragma once
#include <brindle/rtstring.h>

// 1 while the key is held, else 0; reads the keyboard afresh.
double KeyDown(double code);

// The mouse, measured once per frame: every read in one frame gives the same motion.
// Reads the mouse: position clamped to the screen (and kept so), left and right button as 1 / 0.
void ReadMouse(double& x, double& y, double& button1, double& button2);
// The frame's mouse motion: n = 0 dx, 1 dy, 2 wheel (-1 / 0 / 1; only with the device mouse, the settings' useDirectMouse, else always 0), 3 left, 4 right, 5 middle button (1 / 0); else 0.
double MouseAxis(double n);
// Non-zero: the pointer follows the system cursor (free); 0: captured, moved by relative motion (without the device mouse the cursor is put back in the window's middle every frame).
void SetMouseFree(double flag);
// Sets the kept mouse position; the system cursor does not move.
void SetMousePosition(double x, double y);

// Joysticks 0 ... JoystickCount() - 1; other numbers read as a joystick at rest (every value 0).
// The number of joysticks found at start (at most 10).
double JoystickCount();
// "instance, product" of joystick n; empty for n outside 0 ... JoystickCount() - 1.
RtString JoystickName(double n);
// Joystick n's X axis, -1 ... 1 (30 % dead zone).
double JoystickX(double n);
// Joystick n's Y axis, -1 ... 1 (30 % dead zone).
double JoystickY(double n);
// Joystick n's Z axis, -1 ... 1.
double JoystickZ(double n);
// Joystick n's X rotation, -1 ... 1.
double JoystickRX(double n);
// Joystick n's Y rotation, -1 ... 1.
double JoystickRY(double n);
// Joystick n's Z rotation, -1 ... 1.
double JoystickRZ(double n);
// Joystick n's hat: 1 right, -1 left, else 0.
double JoystickHatX(double n);
// Joystick n's hat: -1 up, 1 down, else 0 (diagonals too).
double JoystickHatY(double n);
// Button 0 ... 31 of joystick n: 128 while held (other button numbers 0).
double JoystickButton(double n, double button);
// Joystick 0: x and y as -1 / 0 / 1, buttons 0 and 1 as their raw values.
void ReadJoystick(double& x, double& y, double& button1, double& button2);
// A constant force on joystick n for durationMs (forces -1 ... 1 per axis), where it has force feedback.
void JoystickForce(double n, double durationMs, double forceX, double forceY);

// Typed characters and text entry.
// The character typed since the last call (one per key press), or empty text.
RtString TypedChar();
// Edits text on the screen at (x, y) until Return: typed characters append, Backspace removes.
void ReadTextLine(RtString& text, double x, double y);
// Reads a line as ReadTextLine does (starting empty) and gives it as a number.
void ReadNumberLine(double& number, double x, double y);
