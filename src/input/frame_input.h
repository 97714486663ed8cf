// The input step of every frame (ShowFrame calls it through FrameSteps).
#pragma once

// Refreshes the keyboard, then Escape (when it ends the game) or Alt+F4
// (always) end the program.
void RefreshInputAndCheckEndKeys();
