// Frame presentation: the engine side of ShowFrame.
#pragma once

class OpenGLZadederu;

// ShowFrame's steps that belong to the subsystems above core, in the order
// the frame takes them. Start-up fills them in (SetFrameSteps); an empty
// step is skipped.
struct FrameSteps {
    void (*keepMusicLooping)() = nullptr;  // music at its end starts again
    void (*refreshInput)() = nullptr;      // reads the devices; Escape or Alt+F4 may end
    void (*endShadowPass)() = nullptr;     // the 3D shadow pass ends before the frame shows
    void (*drawBackground)() = nullptr;    // background 0 starts the next frame
    void (*resetMipmapping)() = nullptr;   // sprites bind plain textures again
};
void SetFrameSteps(const FrameSteps& steps);

// Flushes, swaps and clears, then waits for the frame deadline on the
// renderer's fixed grid while dispatching window messages; returns the
// milliseconds spent waiting plus 1.
double PresentAndPace(OpenGLZadederu& renderer);
// How many frames PresentAndPace has shown since the program started.
long long PresentedFrames();

// The frame deadline after `deadline` on its grid of `period` ms: one period
// later, or, when that has passed already at `now`, the first grid point at
// or after now (missed frames are skipped, the grid holds). Counted by
// division: stepping period by period would never end when the period is
// below the clock's resolution at a large uptime.
double NextDeadline(double deadline, double period, double now);

// Ends the program as Escape or Alt+F4 do: error 0 at the marked line.
[[noreturn]] void EndFromKeyboard();

// Ends the 3D engine's stencil shadow-volume pass if it is active.
void EndShadowVolumePass();
