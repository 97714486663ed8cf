// Joysticks on Windows: DirectInput 0x0500's attached joysticks through the
// second-generation device interface (polling, force feedback), and the
// multimedia joystick calls as the fallback.
#define DIRECTINPUT_VERSION 0x0500
#include <windows.h>
#include <dinput.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "platform/joystick.h"
#include "platform/win32/win32_handles.h"

namespace platform {

namespace {
constexpr DWORD kExclusiveForeground = DISCL_EXCLUSIVE | DISCL_FOREGROUND;  // 5

IDirectInputDevice2A* Device(JoystickDevice p) { return reinterpret_cast<IDirectInputDevice2A*>(p); }

struct Enumeration {
    int count;
    IDirectInputA* input;
    IDirectInputDevice2A* devices[kJoystickSlots];
    char (*names)[kJoystickNameBytes];
    HWND window;
};

bool SetProperty(IDirectInputDevice2A* d, REFGUID property, DWORD offset, DIPROPHEADER& header) {
    header.dwHeaderSize = sizeof(DIPROPHEADER);
    header.dwObj = offset;
    header.dwHow = DIPH_BYOFFSET;
    return SUCCEEDED(d->SetProperty(property, &header));
}

BOOL CALLBACK OnJoystick(LPCDIDEVICEINSTANCEA instance, LPVOID context) {
    Enumeration& e = *static_cast<Enumeration*>(context);
    IDirectInputDeviceA* device = nullptr;
    if (FAILED(e.input->CreateDevice(instance->guidInstance, &device, nullptr)) || !device)
        return DIENUM_CONTINUE;
    if (e.count > kJoystickSlots - 1) {
        device->Release();
        return DIENUM_STOP;  // at most ten
    }
    IDirectInputDevice2A* joystick = nullptr;
    HRESULT hr = device->QueryInterface(IID_IDirectInputDevice2A, reinterpret_cast<void**>(&joystick));
    device->Release();
    if (FAILED(hr) || !joystick) return DIENUM_CONTINUE;
    joystick->SetDataFormat(&c_dfDIJoystick);
    joystick->SetCooperativeLevel(e.window, kExclusiveForeground);
    for (DWORD offset : {DIJOFS_X, DIJOFS_Y, DIJOFS_Z, DIJOFS_RX, DIJOFS_RY, DIJOFS_RZ}) {
        DIPROPRANGE range;
        range.diph.dwSize = sizeof range;
        range.lMin = -32768;
        range.lMax = 32768;
        SetProperty(joystick, DIPROP_RANGE, offset, range.diph);
    }
    for (DWORD offset : {DIJOFS_X, DIJOFS_Y}) {
        DIPROPDWORD deadZone;
        deadZone.diph.dwSize = sizeof deadZone;
        deadZone.dwData = 3000;  // 30 %
        if (!SetProperty(joystick, DIPROP_DEADZONE, offset, deadZone.diph)) {
            joystick->Release();
            return DIENUM_CONTINUE;
        }
    }
    joystick->Acquire();
    std::snprintf(e.names[e.count], kJoystickNameBytes, "%.260s, %.259s", instance->tszInstanceName,
                  instance->tszProductName);
    e.devices[e.count++] = joystick;
    return DIENUM_CONTINUE;
}

// The effect playing on each device, kept so that it plays on.
struct Playing {
    IDirectInputDevice2A* device;
    IDirectInputEffect* effect;
};
Playing playing[kJoystickSlots];

Playing* PlayingOn(IDirectInputDevice2A* d, bool make) {
    for (Playing& p : playing)
        if (p.device == d) return &p;
    if (!make) return nullptr;
    for (Playing& p : playing)
        if (!p.device) {
            p.device = d;
            return &p;
        }
    return nullptr;
}
}  // namespace

int EnumerateJoysticks(DeviceInput deviceInput, NativeWindow window, JoystickDevice devices[kJoystickSlots],
                       char names[kJoystickSlots][kJoystickNameBytes]) {
    if (!deviceInput) return -1;
    Enumeration e = {};
    e.input = reinterpret_cast<IDirectInputA*>(deviceInput);
    e.names = names;
    e.window = win32::Hwnd(window);
    if (FAILED(e.input->EnumDevices(DIDEVTYPE_JOYSTICK, OnJoystick, &e, DIEDFL_ATTACHEDONLY))) return -1;
    for (int i = 0; i < e.count; ++i) devices[i] = reinterpret_cast<JoystickDevice>(e.devices[i]);
    return e.count;
}

bool ReadJoystickDevice(JoystickDevice joystick, JoystickState& state) {
    IDirectInputDevice2A* d = Device(joystick);
    HRESULT hr = d->Poll();
    if (hr == DIERR_INPUTLOST || hr == DIERR_NOTACQUIRED) {
        d->Acquire();
        d->Poll();
    }
    DIJOYSTATE s;  // 80 bytes
    if (FAILED(d->GetDeviceState(sizeof s, &s))) return false;
    state.x = s.lX;
    state.y = s.lY;
    state.z = s.lZ;
    state.rx = s.lRx;
    state.ry = s.lRy;
    state.rz = s.lRz;
    state.sliders[0] = s.rglSlider[0];
    state.sliders[1] = s.rglSlider[1];
    for (int i = 0; i < 4; ++i) state.pov[i] = s.rgdwPOV[i];
    std::memcpy(state.buttons, s.rgbButtons, sizeof state.buttons);
    return true;
}

void PlayConstantForce(JoystickDevice joystick, int iterations, uint32_t durationUs, int32_t directionX,
                       int32_t directionY, int32_t magnitude) {
    IDirectInputDevice2A* d = Device(joystick);
    d->Acquire();
    DIDEVCAPS caps;
    caps.dwSize = sizeof caps;  // 44
    if (FAILED(d->GetCapabilities(&caps)) || !(caps.dwFlags & DIDC_FORCEFEEDBACK)) return;
    d->SendForceFeedbackCommand(DISFFC_RESET);
    DWORD axes[2] = {DIJOFS_X, DIJOFS_Y};
    LONG direction[2] = {directionX, directionY};
    DICONSTANTFORCE force = {magnitude};
    DIEFFECT effect = {};
    effect.dwSize = sizeof effect;  // 52
    effect.dwFlags = DIEFF_CARTESIAN | DIEFF_OBJECTOFFSETS;
    effect.dwDuration = durationUs;
    effect.dwSamplePeriod = 0;
    effect.dwGain = DI_FFNOMINALMAX;
    effect.dwTriggerButton = DIEB_NOTRIGGER;
    effect.dwTriggerRepeatInterval = 0;
    effect.cAxes = 2;
    effect.rgdwAxes = axes;
    effect.rglDirection = direction;
    effect.lpEnvelope = nullptr;
    effect.cbTypeSpecificParams = sizeof force;
    effect.lpvTypeSpecificParams = &force;
    IDirectInputEffect* created = nullptr;
    if (FAILED(d->CreateEffect(GUID_ConstantForce, &effect, &created, nullptr)) || !created) return;
    if (Playing* p = PlayingOn(d, true)) {
        if (p->effect) p->effect->Release();
        p->effect = created;
    }
    created->Start(static_cast<DWORD>(iterations), 0);
}

void ReleaseJoystickDevice(JoystickDevice joystick) {
    IDirectInputDevice2A* d = Device(joystick);
    if (Playing* p = PlayingOn(d, false)) {
        if (p->effect) p->effect->Release();
        *p = Playing();
    }
    d->Unacquire();
    d->Release();
}

int MultimediaJoystickCount() { return static_cast<int>(joyGetNumDevs()); }

bool MultimediaJoystickName(int id, char* name, size_t size) {
    JOYCAPSA caps;
    if (joyGetDevCapsA(static_cast<UINT>(id), &caps, sizeof caps) != JOYERR_NOERROR) return false;
    std::snprintf(name, size, "%s", caps.szPname);
    return true;
}

bool ReadMultimediaJoystick(int id, JoystickState& state) {
    JOYINFOEX info = {};
    info.dwSize = sizeof info;  // 52
    info.dwFlags = JOY_RETURNALL;
    if (joyGetPosEx(static_cast<UINT>(id), &info) != JOYERR_NOERROR) return false;
    std::memset(&state, 0, sizeof state);
    state.x = static_cast<int32_t>(info.dwXpos);
    state.y = static_cast<int32_t>(info.dwYpos);
    state.z = static_cast<int32_t>(info.dwZpos);
    state.pov[0] = info.dwPOV;
    for (int b = 0; b < 8; ++b) state.buttons[b] = static_cast<uint8_t>(info.dwButtons & (1u << b));
    return true;
}

}  // namespace platform
