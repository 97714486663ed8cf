// The window on Linux: an SDL window. SDL's window events drive the same
// rules the Windows window procedure applies.
#include <SDL.h>

#include "platform/events.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_media.h"
#include "platform/native_window.h"

namespace platform {

namespace {
SDL_Window* mainSdlWindow = nullptr;

void HandleEvent(const SDL_Event& e) {
    switch (e.type) {
    case SDL_QUIT:
        // The runtime's close handler ends the program and does not return.
        Deliver(eventSink.closeRequested);
        break;
    case SDL_WINDOWEVENT:
        // Only the main window's own (a video's window is a child of it).
        if (mainSdlWindow && e.window.windowID != SDL_GetWindowID(mainSdlWindow)) break;
        switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED: Deliver(eventSink.activated); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: Deliver(eventSink.deactivated); break;
        case SDL_WINDOWEVENT_CLOSE: Deliver(eventSink.closeRequested); break;
        default: break;
        }
        break;
    default:
        sdl::ForwardEvent(e);
        break;
    }
}
}  // namespace

SDL_Window* sdl::MainWindow() { return mainSdlWindow; }

DesktopMetrics GetDesktopMetrics() {
    DesktopMetrics m{640, 480, 0, 0, 0};
    sdl::EnsureVideo();
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        m.screenWidth = mode.w;
        m.screenHeight = mode.h;
    }
    return m;
}

bool RegisterWindowClass(AppInstance) { return sdl::EnsureVideo(); }

NativeWindow CreateMainWindow(AppInstance, const char* caption, int x, int y, int outerWidth,
                              int outerHeight) {
    // SDL sizes the client area; the caption and borders belong to the
    // window manager, so the client area is the drawing surface itself.
    sdl::SetGlAttributes(0);
    mainSdlWindow = SDL_CreateWindow(caption, x, y, outerWidth,
                                     outerHeight - GetDesktopMetrics().captionHeight,
                                     SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    SDL_DisableScreenSaver();  // the screen saver never starts while the game runs
    return sdl::Handle(mainSdlWindow);
}

void ShowWindowNormal(NativeWindow window) {
    SDL_ShowWindow(sdl::Win(window));
    SDL_RaiseWindow(sdl::Win(window));
}

void SetWindowCaption(NativeWindow window, const char* caption) {
    if (window) SDL_SetWindowTitle(sdl::Win(window), caption);
}

void DestroyMainWindow(NativeWindow window) {
    if (sdl::Win(window) == mainSdlWindow) sdl::CloseMediaWindows();  // they are the window's children
    SDL_DestroyWindow(sdl::Win(window));
    if (sdl::Win(window) == mainSdlWindow) mainSdlWindow = nullptr;
}

void PostQuit(int) {}
void InvalidateScreen() {}

void DispatchAllMessages() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) HandleEvent(e);
    sdl::PaintMediaWindows();  // as a playing video window repaints among the messages
}

bool DispatchOneMessage() {
    SDL_Event e;
    if (!SDL_PollEvent(&e)) return false;
    HandleEvent(e);
    return true;
}

void HideWindow(NativeWindow window) {
    if (window) SDL_HideWindow(sdl::Win(window));
}

void ShowAndActivate(NativeWindow window) {
    if (!window) return;
    SDL_ShowWindow(sdl::Win(window));
    SDL_RaiseWindow(sdl::Win(window));
    SDL_SetWindowInputFocus(sdl::Win(window));
}

// SDL has no access to other applications' windows; their placement is left
// to the window manager.
void SaveWindowPlacements() {}
void RestoreWindowPlacements() {}

void HideWindowForDialog(NativeWindow window) {
    if (window) SDL_HideWindow(sdl::Win(window));
}

}  // namespace platform
