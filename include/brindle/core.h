// Commands of the runtime core: screen, frames, timing, program end.
#pragma once
#include <brindle/rtstring.h>

void GetScreenSize(double& width, double& height);
double GetWindowHandle();

void ShowFrame();
void SetFrameRate(double framesPerSecond);
double FrameDuration();
double ElapsedTime();
void SetEscapeEnds(double flag);

double RecordError(double code);
void MarkLine(double tag, double line);
[[noreturn]] void End();
void DebugBreakpoint(double number);
void WaitForKey();
void WaitForClick();
