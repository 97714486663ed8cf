// The keyboard on Windows: DirectInput 0x0500's system keyboard, exclusive in
// the foreground, with GetKeyboardState / GetAsyncKeyState as the fallback.
#define DIRECTINPUT_VERSION 0x0500
#include <windows.h>
#include <dinput.h>

#include <cstring>

#include "platform/keyboard.h"
#include "platform/win32/win32_handles.h"

namespace platform {

namespace {
constexpr DWORD kExclusiveForeground = DISCL_EXCLUSIVE | DISCL_FOREGROUND;  // 5
IDirectInputA* Input(DeviceInput p) { return reinterpret_cast<IDirectInputA*>(p); }
IDirectInputDeviceA* Device(KeyboardDevice p) { return reinterpret_cast<IDirectInputDeviceA*>(p); }
}  // namespace

DeviceInput CreateDeviceInput(AppInstance instance) {
    // Tests start the runtime without the instance handle WinMain gets.
    HINSTANCE module = instance ? win32::Hinstance(instance) : GetModuleHandleA(nullptr);
    IDirectInputA* input = nullptr;
    if (FAILED(DirectInputCreateA(module, 0x0500, &input, nullptr))) return nullptr;
    return reinterpret_cast<DeviceInput>(input);
}

void ReleaseDeviceInput(DeviceInput deviceInput) {
    if (deviceInput) Input(deviceInput)->Release();
}

KeyboardDevice CreateKeyboardDevice(DeviceInput deviceInput, NativeWindow window, bool& acquired) {
    acquired = false;
    IDirectInputDeviceA* keyboard = nullptr;
    if (FAILED(Input(deviceInput)->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr)) || !keyboard)
        return nullptr;
    keyboard->SetDataFormat(&c_dfDIKeyboard);
    keyboard->SetCooperativeLevel(win32::Hwnd(window), kExclusiveForeground);
    acquired = SUCCEEDED(keyboard->Acquire());
    return reinterpret_cast<KeyboardDevice>(keyboard);
}

bool ReadKeyboardDevice(KeyboardDevice keyboard, NativeWindow window, uint8_t keyState[256]) {
    IDirectInputDeviceA* k = Device(keyboard);
    if (FAILED(k->Acquire())) {
        k->SetDataFormat(&c_dfDIKeyboard);
        k->SetCooperativeLevel(win32::Hwnd(window), kExclusiveForeground);
        k->Acquire();
    }
    return SUCCEEDED(k->GetDeviceState(256, keyState));
}

void ReleaseKeyboardDevice(KeyboardDevice keyboard) {
    IDirectInputDeviceA* k = Device(keyboard);
    k->Unacquire();
    k->Release();
}

void DropOneInputMessage() {
    // Only a keyboard or mouse message: dropping whatever came first could
    // lose an activation or close request.
    if (!GetInputState()) return;
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE))
        PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE);
}

void ReadVirtualKeyState(uint8_t keyState[256]) { GetKeyboardState(keyState); }

bool AsyncKeyDown(int virtualKey) { return GetAsyncKeyState(virtualKey) != 0; }

int TranslateScanCode(NativeWindow, int scanCode, const HeldModifiers& held) {
    // The thread's layout, fetched once.
    static HKL layout = GetKeyboardLayout(0);
    BYTE keys[256];
    if (!GetKeyboardState(keys)) return 0;
    // The modifiers are the ones the runtime's key state holds: the thread's
    // state may not have seen them (Wine keeps an exclusive keyboard's keys
    // from the thread) or may lag behind it. Lock toggles stay the thread's.
    // AltGr is Ctrl with right Alt.
    auto set = [&](int virtualKey, bool down) { keys[virtualKey] = down ? 0x80 : 0; };
    set(VK_SHIFT, held.shift);
    set(VK_LSHIFT, held.shift);
    set(VK_RSHIFT, false);
    set(VK_CONTROL, held.control || held.rightAlt);
    set(VK_LCONTROL, held.control || held.rightAlt);
    set(VK_RCONTROL, false);
    set(VK_MENU, held.alt || held.rightAlt);
    set(VK_LMENU, held.alt);
    set(VK_RMENU, held.rightAlt);
    const UINT virtualKey = MapVirtualKeyExA(static_cast<UINT>(scanCode), 1, layout);  // scan code to virtual key
    WORD text = 0;
    if (ToAsciiEx(virtualKey, static_cast<UINT>(scanCode), keys, &text, 0, layout) != 1) return 0;
    return text & 0xFF;
}

void CursorClientPosition(NativeWindow window, int& x, int& y) {
    POINT p = {0, 0};
    GetCursorPos(&p);
    ScreenToClient(win32::Hwnd(window), &p);
    x = p.x;
    y = p.y;
}

}  // namespace platform
