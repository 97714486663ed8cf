// Music and video on Windows: MCIWnd child windows of the main window.
#include <windows.h>
#include <vfw.h>

#include "platform/media_window.h"
#include "platform/win32/win32_handles.h"

namespace platform {

namespace {
using win32::Hwnd;
HWND Window(MediaWindow w) { return reinterpret_cast<HWND>(w); }
MediaWindow Handle(HWND w) { return reinterpret_cast<MediaWindow>(w); }

// Music windows show no error dialogs either: with a file it cannot play an
// MCI window raises one dialog after another and the game never goes on.
constexpr DWORD kMusicStyle =
    WS_CHILD | MCIWNDF_NOOPEN | MCIWNDF_NOMENU | MCIWNDF_NOPLAYBAR | MCIWNDF_NOERRORDLG;  // 0x4000800A + 0x4000
constexpr DWORD kVideoStyle = WS_CHILD | WS_VISIBLE | MCIWNDF_NOERRORDLG | MCIWNDF_NOMENU |
                              MCIWNDF_NOAUTOSIZEMOVIE | MCIWNDF_NOPLAYBAR | MCIWNDF_NOAUTOSIZEWINDOW;  // 0x5000400F
static_assert(kMusicStyle == 0x4000C00A && kVideoStyle == 0x5000400F, "the MCI window styles");

HINSTANCE Instance(AppInstance instance) {
    // Tests start the runtime without the instance handle WinMain gets.
    return instance ? win32::Hinstance(instance) : GetModuleHandleA(nullptr);
}
}  // namespace

MediaWindow CreateMusicWindow(AppInstance instance, NativeWindow parent, const char* file) {
    return Handle(MCIWndCreateA(HWND_MESSAGE, Instance(instance), kMusicStyle, file));
}

// Wine covers the client area of an OpenGL window with the GL surface and
// hides child windows beneath it. The video window is therefore the child of
// a host: an owned pop-up over the client origin that never takes the
// activation (and so the keyboard) from the game.
namespace {
constexpr char kHostClass[] = "BrindleVideoHost";

HWND CreateVideoHost(HINSTANCE module, HWND owner) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA c = {};
        c.lpfnWndProc = DefWindowProcA;
        c.hInstance = module;
        c.lpszClassName = kHostClass;
        registered = RegisterClassA(&c) != 0;
    }
    POINT origin = {0, 0};
    ClientToScreen(owner, &origin);
    return CreateWindowExA(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kHostClass, "", WS_POPUP, origin.x, origin.y, 0, 0,
                           owner, nullptr, module, nullptr);
}
}  // namespace

MediaWindow CreateVideoWindow(AppInstance instance, NativeWindow parent, const char* file) {
    HWND host = CreateVideoHost(Instance(instance), Hwnd(parent));
    if (!host) return nullptr;
    HWND w = MCIWndCreateA(host, Instance(instance), kVideoStyle, file);
    if (!w) {
        DestroyWindow(host);
        return nullptr;
    }
    ShowWindow(host, SW_SHOWNOACTIVATE);
    return Handle(w);
}

int32_t MediaPlay(MediaWindow w) { return static_cast<int32_t>(SendMessageA(Window(w), MCI_PLAY, 0, 0)); }
void MediaStop(MediaWindow w) { SendMessageA(Window(w), MCI_STOP, 0, 0); }
void MediaSeekToStart(MediaWindow w) { SendMessageA(Window(w), MCI_SEEK, 0, static_cast<LPARAM>(MCIWND_START)); }
void MediaClose(MediaWindow w) {
    HWND parent = GetParent(Window(w));
    SendMessageA(Window(w), WM_CLOSE, 0, 0);
    // A video's host goes with it (music windows have no host).
    char name[32] = {};
    if (parent && GetClassNameA(parent, name, sizeof name) && lstrcmpA(name, kHostClass) == 0) DestroyWindow(parent);
}

bool MediaPlaying(MediaWindow w) { return SendMessageA(Window(w), MCIWNDM_GETMODEA, 0, 0) == MCI_MODE_PLAY; }

int32_t MediaStart(MediaWindow w) { return static_cast<int32_t>(SendMessageA(Window(w), MCIWNDM_GETSTART, 0, 0)); }
int32_t MediaLength(MediaWindow w) { return static_cast<int32_t>(SendMessageA(Window(w), MCIWNDM_GETLENGTH, 0, 0)); }
int32_t MediaPosition(MediaWindow w) {
    return static_cast<int32_t>(SendMessageA(Window(w), MCIWNDM_GETPOSITIONA, 0, 0));
}

MediaRect MediaSource(MediaWindow w) {
    RECT r = {};
    SendMessageA(Window(w), MCIWNDM_GET_SOURCE, 0, reinterpret_cast<LPARAM>(&r));
    return {r.left, r.top, r.right, r.bottom};
}

void MediaPutDestination(MediaWindow w, const MediaRect& d) {
    RECT r = {d.left, d.top, d.right, d.bottom};
    SendMessageA(Window(w), MCIWNDM_PUT_DEST, 0, reinterpret_cast<LPARAM>(&r));
}

void ResizeMediaWindow(MediaWindow w, int width, int height) {
    constexpr UINT keep = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(Window(w), nullptr, 0, 0, width, height, keep);
    HWND host = GetParent(Window(w));
    if (host && (GetWindowLongA(host, GWL_STYLE) & WS_POPUP)) SetWindowPos(host, nullptr, 0, 0, width, height, keep);
}

MediaRect ClientRectangle(NativeWindow window) {
    RECT r = {};
    GetClientRect(Hwnd(window), &r);
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace platform
