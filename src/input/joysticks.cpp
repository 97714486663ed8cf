#include "input/joysticks.h"

#include <cstring>

namespace {
bool IsSlot(int index) { return index >= 0 && index < kMaxJoysticks; }

// No joystick: every value 0, the hat centred (a zero point-of-view value
// would mean "up").
JoystickState Nothing() {
    JoystickState state;
    std::memset(&state, 0, sizeof state);
    for (uint32_t& pov : state.pov) pov = platform::kPovCentred;
    return state;
}

float Clamped(float v) {
    if (!(v == v)) return 0;  // not a number: no force
    return v < -1 ? -1 : v > 1 ? 1 : v;
}
}  // namespace

static_assert(kMaxJoysticks == platform::kJoystickSlots && kJoystickNameSize == platform::kJoystickNameBytes,
              "the record's joystick tables match the seam's");

void SetUpJoysticks(InputDevices& in) {
    platform::JoystickDevice devices[kMaxJoysticks] = {};
    char names[kMaxJoysticks][kJoystickNameSize] = {};
    const int count = platform::EnumerateJoysticks(in.directInput, in.window, devices, names);
    if (count < 0) return;
    in.joystickCount = count;
    for (int i = 0; i < count && i < kMaxJoysticks; ++i) {
        in.joystickDevices[i] = devices[i];
        std::memcpy(in.joystickNames[i], names[i], kJoystickNameSize);
    }
}

void SetUpMultimediaJoysticks(InputDevices& in) {
    const int count = platform::MultimediaJoystickCount();
    // The driver may support more ids than there are names; ten are recorded.
    in.joystickCount = count < 0 ? 0 : count > kMaxJoysticks ? kMaxJoysticks : count;
    in.joystickDevices[0] = in.joystickDevices[1] = nullptr;
    for (int i = 0; i < in.joystickCount; ++i) {
        in.joystickNames[i][0] = '\0';
        platform::MultimediaJoystickName(i, in.joystickNames[i], kJoystickNameSize);
    }
}

void ReadJoystickState(InputDevices& in, JoystickState& state, int index) {
    state = Nothing();
    if (IsSlot(index) && in.joystickDevices[index]) {
        platform::ReadJoystickDevice(in.joystickDevices[index], state);
        return;
    }
    if ((index == 0 || index == 1) && !platform::ReadMultimediaJoystick(index, state)) state = Nothing();
}

void PlayJoystickForce(InputDevices& in, int index, int iterations, float durationMs, float forceX,
                       float forceY) {
    if (!IsSlot(index) || !in.joystickDevices[index]) return;
    const float fx = Clamped(forceX), fy = Clamped(forceY);
    const double us = static_cast<double>(durationMs) * 1000;
    // Durations beyond the 32-bit microsecond count (or not numbers) stop there.
    const uint32_t duration = us > 0 ? (us < 4294967295.0 ? static_cast<uint32_t>(us) : 4294967295u) : 0;
    platform::PlayConstantForce(in.joystickDevices[index], iterations, duration, static_cast<int32_t>(fx * 32767),
                                static_cast<int32_t>(fy * 32767),
                                static_cast<int32_t>((fx * fx + fy * fy) * 10000 * 0.5f));
}

void ReleaseJoysticks(InputDevices& in) {
    for (platform::JoystickDevice& device : in.joystickDevices) {
        if (device) platform::ReleaseJoystickDevice(device);
        device = nullptr;
    }
}

double JoystickAxisValue(int32_t raw) {
    const double v = raw / 32767.0;
    return v < -1 ? -1 : v > 1 ? 1 : v;
}

double JoystickHatXValue(const JoystickState& state) {
    return state.pov[0] == 9000 ? 1 : state.pov[0] == 27000 ? -1 : 0;
}

double JoystickHatYValue(const JoystickState& state) {
    return state.pov[0] == 0 ? -1 : state.pov[0] == 18000 ? 1 : 0;
}

double JoystickButtonValue(const JoystickState& state, int button) {
    return button < 0 || button >= 32 ? 0 : state.buttons[button];
}

double JoystickDirection(int32_t raw) { return raw / 30000; }

bool JoystickActive(const JoystickState& state) {
    for (uint8_t b : state.buttons)
        if (b) return true;
    if (state.x || state.y || state.z) return true;
    const uint32_t pov = state.pov[0];
    return pov == 0 || pov == 9000 || pov == 18000 || pov == 27000;
}
