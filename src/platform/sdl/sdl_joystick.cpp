// Joysticks on Linux: SDL's joystick and haptic subsystems, delivering what
// a DirectInput joystick set up by the runtime reports: axes over
// -32768 ... 32768 with a 30 % dead zone on X and Y, the first hats as
// point-of-view angles, buttons 0x80 while held, force through SDL's haptic
// constant effect. There are no multimedia joysticks here.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/joystick.h"

namespace platform {

namespace {
constexpr int kRange = 32768;
constexpr int kDeadZone = kRange * 3000 / 10000;  // 3000 of 10000: 30 % of each half

struct Haptic {
    SDL_Joystick* joystick = nullptr;
    SDL_Haptic* haptic = nullptr;
    int effect = -1;  // the effect playing, kept so that it plays on
};
Haptic haptics[kJoystickSlots];

SDL_Joystick* Stick(JoystickDevice j) { return reinterpret_cast<SDL_Joystick*>(j); }

// SDL's -32768 ... 32767 spread over DirectInput's -32768 ... 32768, centre
// kept at 0; then the dead zone: the centre band reads 0 and the rest is
// stretched over the whole half.
int32_t Axis(SDL_Joystick* j, int axis, bool deadZone) {
    if (axis >= SDL_JoystickNumAxes(j)) return 0;
    const int32_t raw = SDL_JoystickGetAxis(j, axis);
    int32_t v = raw > 0 ? static_cast<int32_t>(int64_t{raw} * kRange / 32767) : raw;
    if (!deadZone) return v;
    const int32_t magnitude = std::abs(v);
    if (magnitude <= kDeadZone) return 0;
    const int32_t stretched = static_cast<int32_t>(int64_t{magnitude - kDeadZone} * kRange / (kRange - kDeadZone));
    return v < 0 ? -stretched : stretched;
}

uint32_t Pov(SDL_Joystick* j, int hat) {
    if (hat >= SDL_JoystickNumHats(j)) return kPovCentred;
    switch (SDL_JoystickGetHat(j, hat)) {
        case SDL_HAT_UP: return 0;
        case SDL_HAT_RIGHTUP: return 4500;
        case SDL_HAT_RIGHT: return 9000;
        case SDL_HAT_RIGHTDOWN: return 13500;
        case SDL_HAT_DOWN: return 18000;
        case SDL_HAT_LEFTDOWN: return 22500;
        case SDL_HAT_LEFT: return 27000;
        case SDL_HAT_LEFTUP: return 31500;
        default: return kPovCentred;
    }
}

Haptic* HapticOf(SDL_Joystick* j) {
    for (Haptic& h : haptics)
        if (h.joystick == j) return &h;
    return nullptr;
}
}  // namespace

int EnumerateJoysticks(DeviceInput deviceInput, NativeWindow, JoystickDevice devices[kJoystickSlots],
                       char names[kJoystickSlots][kJoystickNameBytes]) {
    if (!deviceInput || SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return -1;
    SDL_InitSubSystem(SDL_INIT_HAPTIC);  // force feedback where the kernel offers it
    SDL_JoystickEventState(SDL_IGNORE);  // read by polling
    int count = 0;
    const int attached = SDL_NumJoysticks();
    for (int i = 0; i < attached && count < kJoystickSlots; ++i) {
        SDL_Joystick* j = SDL_JoystickOpen(i);
        if (!j) continue;
        const char* name = SDL_JoystickName(j);
        if (!name) name = "";
        // SDL names a device once; it stands for instance and product alike.
        std::snprintf(names[count], kJoystickNameBytes, "%.260s, %.259s", name, name);
        haptics[count] = Haptic();
        haptics[count].joystick = j;
        devices[count++] = reinterpret_cast<JoystickDevice>(j);
    }
    return count;
}

bool ReadJoystickDevice(JoystickDevice joystick, JoystickState& state) {
    SDL_Joystick* j = Stick(joystick);
    SDL_JoystickUpdate();
    if (!SDL_JoystickGetAttached(j)) return false;
    state.x = Axis(j, 0, true);
    state.y = Axis(j, 1, true);
    state.z = Axis(j, 2, false);
    state.rx = Axis(j, 3, false);
    state.ry = Axis(j, 4, false);
    state.rz = Axis(j, 5, false);
    state.sliders[0] = Axis(j, 6, false);
    state.sliders[1] = Axis(j, 7, false);
    for (int hat = 0; hat < 4; ++hat) state.pov[hat] = Pov(j, hat);
    const int buttons = SDL_JoystickNumButtons(j);
    for (int b = 0; b < 32; ++b) state.buttons[b] = b < buttons && SDL_JoystickGetButton(j, b) ? 0x80 : 0;
    return true;
}

void PlayConstantForce(JoystickDevice joystick, int iterations, uint32_t durationUs, int32_t directionX,
                       int32_t directionY, int32_t magnitude) {
    Haptic* h = HapticOf(Stick(joystick));
    if (!h) return;
    if (!h->haptic) h->haptic = SDL_HapticOpenFromJoystick(h->joystick);
    if (!h->haptic || !(SDL_HapticQuery(h->haptic) & SDL_HAPTIC_CONSTANT)) return;
    SDL_HapticStopAll(h->haptic);  // the force-feedback reset
    if (h->effect >= 0) SDL_HapticDestroyEffect(h->haptic, h->effect);
    SDL_HapticEffect e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_HAPTIC_CONSTANT;
    e.constant.direction.type = SDL_HAPTIC_CARTESIAN;
    e.constant.direction.dir[0] = directionX;
    e.constant.direction.dir[1] = directionY;
    e.constant.length = durationUs / 1000;
    e.constant.level = static_cast<Sint16>(magnitude * 32767 / 10000);
    h->effect = SDL_HapticNewEffect(h->haptic, &e);
    if (h->effect >= 0) SDL_HapticRunEffect(h->haptic, h->effect, static_cast<Uint32>(iterations));
}

void ReleaseJoystickDevice(JoystickDevice joystick) {
    SDL_Joystick* j = Stick(joystick);
    if (Haptic* h = HapticOf(j)) {
        if (h->haptic) SDL_HapticClose(h->haptic);
        *h = Haptic();
    }
    SDL_JoystickClose(j);
}

int MultimediaJoystickCount() { return 0; }
bool MultimediaJoystickName(int, char*, size_t) { return false; }
bool ReadMultimediaJoystick(int, JoystickState&) { return false; }

}  // namespace platform
