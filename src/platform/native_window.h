// The seam: what the runtime needs from the OS for its one window.
// One implementation per target (platform/win32, platform/sdl).
#pragma once

namespace platform {

// Typed opaque handles: each backend defines nothing behind these structs and
// converts to its native handle inside its own folder only.
struct AppInstanceObject;  // HINSTANCE on Windows; unused (null) on Linux
using AppInstance = AppInstanceObject*;
struct NativeWindowObject;  // HWND on Windows; SDL_Window* on Linux
using NativeWindow = NativeWindowObject*;

struct DesktopMetrics {
    int screenWidth, screenHeight;  // primary screen
    int captionHeight;              // title bar height
    int borderWidth, borderHeight;  // thin border sizes
};
DesktopMetrics GetDesktopMetrics();

// Registers the window class "Brindle" (own DC, byte-aligned); false on failure.
bool RegisterWindowClass(AppInstance instance);
// Creates the caption-only window with the given outer geometry and caption.
NativeWindow CreateMainWindow(AppInstance instance, const char* caption, int x, int y, int outerWidth,
                              int outerHeight);
void ShowWindowNormal(NativeWindow window);
void SetWindowCaption(NativeWindow window, const char* caption);
void DestroyMainWindow(NativeWindow window);
void PostQuit(int code);
void InvalidateScreen();  // all windows repaint

// Removes and dispatches every waiting message / event.
void DispatchAllMessages();
// Dispatches one waiting message; false when the queue was empty.
bool DispatchOneMessage();

// Hidden; shown again, on top and active.
void HideWindow(NativeWindow window);
void ShowAndActivate(NativeWindow window);

// Placement of the other top-level windows around display-mode changes.
void SaveWindowPlacements();
void RestoreWindowPlacements();
// Hides the window for a system dialog (styles reset, hidden, updated).
void HideWindowForDialog(NativeWindow window);

}  // namespace platform
