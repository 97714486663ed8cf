// The window on Windows: class "Brindle" and its window procedure.
#include <windows.h>

#include "platform/events.h"
#include "platform/win32/win32_handles.h"
#include "platform/native_window.h"

namespace platform {

namespace {

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
    case WM_MOVE:
    case WM_SIZE:
        InvalidateRect(nullptr, nullptr, TRUE);
        break;
    case WM_ACTIVATE:
        switch (LOWORD(wParam)) {
        case WA_ACTIVE:
        case WA_CLICKACTIVE: Deliver(eventSink.activated); break;
        case WA_INACTIVE: Deliver(eventSink.deactivated); break;
        default: break;
        }
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_SCREENSAVE:
        case SC_MONITORPOWER: return 0;
        case SC_CLOSE:
            // The runtime's close handler ends the program and does not
            // return; without one the default processing closes the window.
            Deliver(eventSink.closeRequested);
            [[fallthrough]];
        default: break;
        }
        break;
    case WM_CLOSE:
        // As for SC_CLOSE: normally no return; else the default destroys it.
        Deliver(eventSink.closeRequested);
        [[fallthrough]];
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

struct Placement {
    HWND window;
    WINDOWPLACEMENT placement;
};
Placement placements[256];
int placementCount = 0;

BOOL CALLBACK RememberPlacement(HWND window, LPARAM) {
    if (IsWindowVisible(window) && placementCount < 256) {
        Placement& p = placements[placementCount];
        p.placement.length = sizeof(WINDOWPLACEMENT);
        if (GetWindowPlacement(window, &p.placement)) {
            p.window = window;
            ++placementCount;
        }
    }
    return TRUE;
}

}  // namespace

DesktopMetrics GetDesktopMetrics() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
            GetSystemMetrics(SM_CYCAPTION), GetSystemMetrics(SM_CXBORDER),
            GetSystemMetrics(SM_CYBORDER)};
}

bool RegisterWindowClass(AppInstance instance) {
    WNDCLASSA wc = {};
    wc.style = CS_OWNDC | CS_BYTEALIGNCLIENT | CS_BYTEALIGNWINDOW;
    wc.lpfnWndProc = WindowProcedure;
    wc.hInstance = win32::Hinstance(instance);
    wc.lpszClassName = "Brindle";
    return RegisterClassA(&wc) != 0;
}

NativeWindow CreateMainWindow(AppInstance instance, const char* caption, int x, int y,
                              int outerWidth, int outerHeight) {
    return win32::Handle(CreateWindowExA(0, "Brindle", caption, WS_CAPTION, x, y, outerWidth,
                                         outerHeight, nullptr, nullptr, win32::Hinstance(instance),
                                         nullptr));
}

void ShowWindowNormal(NativeWindow window) {
    ShowWindow(win32::Hwnd(window), SW_SHOWNORMAL);
    UpdateWindow(win32::Hwnd(window));
}

void SetWindowCaption(NativeWindow window, const char* caption) {
    SetWindowTextA(win32::Hwnd(window), caption);
}

void DestroyMainWindow(NativeWindow window) { DestroyWindow(win32::Hwnd(window)); }
void PostQuit(int code) { PostQuitMessage(code); }
void InvalidateScreen() { InvalidateRect(nullptr, nullptr, TRUE); }

void DispatchAllMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

bool DispatchOneMessage() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    DispatchMessageA(&msg);
    return true;
}

void HideWindow(NativeWindow window) { ShowWindow(win32::Hwnd(window), SW_HIDE); }

void ShowAndActivate(NativeWindow window) {
    HWND w = win32::Hwnd(window);
    ShowWindow(w, SW_SHOW);
    BringWindowToTop(w);
    SetActiveWindow(w);
}

void SaveWindowPlacements() {
    placementCount = 0;
    EnumWindows(RememberPlacement, 0);
}

void RestoreWindowPlacements() {
    for (int i = 0; i < placementCount; ++i)
        if (IsWindow(placements[i].window))
            SetWindowPlacement(placements[i].window, &placements[i].placement);
}

void HideWindowForDialog(NativeWindow window) {
    HWND w = win32::Hwnd(window);
    // Hidden before the styles change: the new style lacks WS_VISIBLE, and
    // after it ShowWindow would take the window for hidden already and leave
    // it on the screen.
    ShowWindow(w, SW_HIDE);
    SetWindowLongA(w, GWL_EXSTYLE, 0);
    SetWindowLongA(w, GWL_STYLE, WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    UpdateWindow(w);
}

}  // namespace platform
