// Shared state of the SDL backend, and the conversions between the seam's
// typed handles and SDL's own.
#pragma once
#include <SDL.h>

#include "platform/native_window.h"

typedef struct _XDisplay Display;  // Xlib's

namespace platform::sdl {
bool EnsureVideo();             // SDL video (and events) initialised once
SDL_Window* MainWindow();       // the program window, or null
void ForwardEvent(const SDL_Event& e);  // events other than window events
// The X display of the program window; null without one (or off X11).
Display* X11Display();
// The pointer's screen position and SDL button mask, asked of the X server
// (SDL's own answer when there is no X display).
Uint32 GlobalPointer(int& x, int& y);
// The fixed pixel format request as GL attributes; SDL fixes the visual when
// the window is created, so this runs before that.
void SetGlAttributes(int colourBits);

inline SDL_Window* Win(NativeWindow window) { return reinterpret_cast<SDL_Window*>(window); }
inline NativeWindow Handle(SDL_Window* window) { return reinterpret_cast<NativeWindow>(window); }
}  // namespace platform::sdl
