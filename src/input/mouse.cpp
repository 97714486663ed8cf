#include "input/mouse.h"

#include "core/error_log.h"
#include "platform/keyboard.h"
#include "platform/mouse_device.h"

namespace {

// 32-bit positions wrap rather than overflow; motion is 16-bit as measured.
int32_t Moved(int32_t position, int16_t delta) {
    return static_cast<int32_t>(static_cast<uint32_t>(position) + static_cast<uint32_t>(int32_t{delta}));
}
int16_t Delta(int64_t to, int64_t from) { return static_cast<int16_t>(to - from); }

// Free: the motion is the cursor's move since the stored position.
void FollowCursor(InputDevices& in, MouseReading& reading) {
    int x = 0, y = 0;
    platform::CursorClientPosition(in.window, x, y);
    reading.dx = Delta(x, in.mouseX);
    reading.dy = Delta(y, in.mouseY);
    in.mouseX = x;
    in.mouseY = y;
}

void KeepFrameMotion(InputDevices& in, const MouseReading& reading) {
    in.frameDX = reading.dx;
    in.frameDY = reading.dy;
    in.frameWheel = reading.wheel;
}
}  // namespace

uint32_t SetUpMouseDevice(InputDevices& in) {
    in.mouseDevice = platform::CreateMouseDevice(in.directInput);
    if (!in.mouseDevice) return kInputOk;
    in.mouseCooperation = platform::kMouseExclusive;
    bool ready = platform::SetMouseCooperation(in.mouseDevice, in.window, in.mouseCooperation) &&
                 platform::AcquireMouse(in.mouseDevice);
    if (ready) return kInputOk;
    AppendErrorLog("No DX_Mouse");
    return kMouseNotSetUp;
}

int ReadMouseState(InputDevices& in, MouseReading& reading) {
    if (!in.newFrame) {
        reading.dx = in.frameDX;
        reading.dy = in.frameDY;
        reading.wheel = in.frameWheel;
    }
    if (in.mouseDevice) {
        if (!platform::AcquireMouse(in.mouseDevice)) {
            platform::SetMouseDataFormat(in.mouseDevice);
            platform::SetMouseCooperation(in.mouseDevice, in.window, in.mouseCooperation);
            platform::AcquireMouse(in.mouseDevice);
            reading = MouseReading();
            return 0;
        }
        platform::MouseDeviceState state;
        if (!platform::ReadMouseDevice(in.mouseDevice, state)) return 1;
        if (in.newFrame) {
            in.newFrame = 0;
            reading.wheel = state.z > 0 ? 1 : state.z < 0 ? -1 : 0;
            if (in.mouseFree) {
                FollowCursor(in, reading);
            } else {
                reading.dx = static_cast<int16_t>(state.x);
                reading.dy = static_cast<int16_t>(state.y);
                in.mouseX = Moved(in.mouseX, reading.dx);
                in.mouseY = Moved(in.mouseY, reading.dy);
            }
            KeepFrameMotion(in, reading);
        }
        reading.button0 = state.buttons[0];
        reading.button1 = state.buttons[1];
        reading.button2 = state.buttons[2];
        return 1;
    }
    if (in.newFrame) {
        in.newFrame = 0;
        reading.wheel = 0;
        if (in.mouseFree) {
            FollowCursor(in, reading);
        } else {
            // Captured without a device: the cursor is brought back to a
            // resting point every frame and its move from there is the
            // motion. It rests in the middle of the window's client area,
            // so that a click lands in the game's own window, whatever the
            // window's place on the desktop. A move between reading the
            // cursor and putting it back would go unseen: nothing else is
            // done in between.
            int x = 0, y = 0, restX = 0, restY = 0;
            platform::ClientCentreOnScreen(in.window, restX, restY);
            platform::CursorScreenPosition(x, y);
            platform::MoveCursorTo(restX, restY);
            reading.dx = Delta(x, restX);
            reading.dy = Delta(y, restY);
            in.mouseX = Moved(in.mouseX, reading.dx);
            in.mouseY = Moved(in.mouseY, reading.dy);
        }
        KeepFrameMotion(in, reading);
    }
    reading.button0 = platform::AsyncMouseButton(1);
    reading.button1 = platform::AsyncMouseButton(2);
    reading.button2 = platform::AsyncMouseButton(4);
    return 1;
}

bool AnyMouseButton(InputDevices& in) {
    MouseReading reading;
    ReadMouseState(in, reading);
    return reading.button0 || reading.button1 || reading.button2;
}

void SwitchMouseFree(InputDevices& in, bool free) {
    const uint8_t value = free ? 1 : 0;
    if (value == in.mouseFree) return;
    in.mouseFree = value;
    if (!in.mouseDevice) return;
    platform::UnacquireMouse(in.mouseDevice);
    in.mouseCooperation = free ? platform::kMouseNonExclusive : platform::kMouseExclusive;
    platform::SetMouseCooperation(in.mouseDevice, in.window, in.mouseCooperation);
    platform::AcquireMouse(in.mouseDevice);
    if (free) {
        int x = in.mouseX, y = in.mouseY;
        platform::ClientToScreenPosition(in.window, x, y);
        platform::MoveCursorTo(x, y);
        platform::ShowArrowPointer();
    }
}
