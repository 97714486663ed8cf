// Commands of the runtime core: screen, frames, timing, program end.
#pragma once
#include <brindle/rtstring.h>

// Writes the drawing surface's width and height in pixels (the settings' window size).
void GetScreenSize(double& width, double& height);
// The main window's handle (HWND; on Linux the SDL window) as a number.
double GetWindowHandle();

// Shows the frame drawn, waits for the next frame time, reads input and resets the drawing state; Escape (when it ends) or Alt+F4 ends the program here.
void ShowFrame();
// Limits the frame rate (truncated to whole frames per second); 0 or less: a 2 ms frame period.
void SetFrameRate(double framesPerSecond);
// Milliseconds since the next-to-last frame was shown: right after ShowFrame the time between the last two frames (one period at a steady rate), growing until the next; never 0 or negative (1 instead), but tiny as a game's first statement.
double FrameDuration();
// Milliseconds since the end of start-up.
double ElapsedTime();
// 0: Escape no longer ends the program in ShowFrame (Alt+F4 still does); non-zero: it does again.
void SetEscapeEnds(double flag);

// Records the runtime error number with the line MarkLine last stored; returns the number.
double RecordError(double code);
// Stores the source position (tag, line) that errors and the debug trace report.
void MarkLine(double tag, double line);
// Ends the program (error 0): stops media, writes the trace of a debug build, closes the window.
[[noreturn]] void End();
// With a debugger attached, sends it "BP" and the number in hexadecimal; else nothing.
void DebugBreakpoint(double number);
// Waits for a new key press (a key held from before does not count).
void WaitForKey();
// Waits for a mouse button to be pressed and released.
void WaitForClick();
