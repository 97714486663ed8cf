// Shared state of the SDL backend.
#pragma once
#include <SDL.h>

namespace platform::sdl {
bool EnsureVideo();             // SDL video (and events) initialised once
SDL_Window* MainWindow();       // the program window, or null
void ForwardEvent(const SDL_Event& e);  // events other than window events
// The fixed pixel format request as GL attributes; SDL fixes the visual when
// the window is created, so this runs before that.
void SetGlAttributes(int colourBits);
}  // namespace platform::sdl
