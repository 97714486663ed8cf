// Typed characters on Linux: a scan code translated by the X keyboard layout
// (XKB) with the held modifiers, the lock state and the layout group, as the
// Windows layout calls translate it: a German or French layout gives its own characters,
// with Shift levels, AltGr and Caps Lock. Without X (another SDL video
// driver) the key's base character from SDL's layout is used.
#include <SDL.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include "platform/key_usage_map.h"
#include "platform/keyboard.h"
#include "platform/sdl/sdl_backend.h"

namespace platform {

namespace {
// DirectInput scan codes 1 ... 88 are the kernel's key codes of the same
// keys; X numbers keys 8 above those. The extended codes (128 and up) give
// no character on Windows either.
int XKeyCode(int scanCode) { return scanCode >= 1 && scanCode <= 88 ? scanCode + 8 : 0; }
constexpr int kRightAltKeyCode = 108;  // the kernel's KEY_RIGHTALT + 8

// The character SDL's layout puts on the key, without levels.
int BaseCharacter(int scanCode) {
    int count = 0;
    const KeyUsageScanCode* table = KeyUsageTable(count);
    for (int i = 0; i < count; ++i) {
        if (table[i].scanCode != scanCode) continue;
        const SDL_Keycode key = SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(table[i].usage));
        return key > 0 && key < 256 ? static_cast<int>(key) : 0;
    }
    return 0;
}
}  // namespace

int TranslateScanCode(NativeWindow, int scanCode, const HeldModifiers& held) {
    const int keyCode = XKeyCode(scanCode);
    if (!keyCode) return 0;
    Display* display = sdl::X11Display();
    if (!display) return BaseCharacter(scanCode);
    XkbStateRec state;
    if (XkbGetState(display, XkbUseCoreKbd, &state) != Success) return 0;
    XKeyEvent event = {};
    event.type = KeyPress;
    event.display = display;
    event.keycode = static_cast<unsigned>(keyCode);
    // Locks and group from the server; Shift, Ctrl and Alt as held. Right Alt
    // is AltGr where the layout makes it the third-level shift.
    unsigned int mods = state.locked_mods;
    if (held.shift) mods |= ShiftMask;
    if (held.control) mods |= ControlMask;
    if (held.alt) mods |= Mod1Mask;
    if (held.rightAlt) {
        const KeySym rightAlt = XkbKeycodeToKeysym(display, kRightAltKeyCode, state.group, 0);
        mods |= rightAlt == XK_ISO_Level3_Shift ? XkbKeysymToModifiers(display, XK_ISO_Level3_Shift) : Mod1Mask;
    }
    event.state = XkbBuildCoreState(mods, state.group);
    char text[8];
    KeySym keySym = NoSymbol;
    // Latin-1 text of the key's symbol at the level the modifiers select.
    const int length = XLookupString(&event, text, sizeof text, &keySym, nullptr);
    return length == 1 ? static_cast<unsigned char>(text[0]) : 0;
}

}  // namespace platform
