// Joysticks on Linux through a real SDL joystick: SDL's virtual joystick,
// enumerated and read by the runtime like any attached device, its axes
// driven to their ends, its hat round the compass and every button.
// SDL's virtual joysticks exist only in the Linux build (SDL is the Linux
// backend), hence the preprocessor guard.
#ifndef _WIN32
#include <SDL.h>
#include <brindle.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/runtime_state.h"
#include "input/joysticks.h"
#include "support/test_runtime.h"

namespace {

class VirtualJoystick : public ::testing::Test {
protected:
    void SetUp() override {
        StartTestRuntime();
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
        SDL_VirtualJoystickDesc desc;
        SDL_zero(desc);
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = 6;
        desc.nbuttons = 32;
        desc.nhats = 1;
        desc.name = "Brindle Test Pad";
        deviceIndex = SDL_JoystickAttachVirtualEx(&desc);
        ASSERT_GE(deviceIndex, 0) << SDL_GetError();
        // The runtime enumerates at start-up; here again, with the pad attached.
        ReleaseJoysticks(*runtime.input);
        runtime.input->joystickCount = 0;
        SetUpJoysticks(*runtime.input);
        ASSERT_EQ(JoystickCount(), 1);
        pad = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(deviceIndex));
        ASSERT_NE(pad, nullptr);
    }
    void TearDown() override {
        ReleaseJoysticks(*runtime.input);
        runtime.input->joystickCount = 0;
        SDL_JoystickDetachVirtual(deviceIndex);
    }
    int deviceIndex = -1;
    SDL_Joystick* pad = nullptr;
};

TEST_F(VirtualJoystick, AxesHatAndButtonsReadAsDirectInputReportsThem) {
    EXPECT_STREQ(JoystickName(0).Text(), "Brindle Test Pad, Brindle Test Pad");
    EXPECT_EQ(JoystickName(1).length(), 0u);

    double (*const axis[6])(double) = {JoystickX, JoystickY, JoystickZ, JoystickRX, JoystickRY, JoystickRZ};
    // SDL's ends reach DirectInput's -32768 and 32768: exactly -1 and 1.
    for (int a = 0; a < 6; ++a) {
        SCOPED_TRACE(a);
        SDL_JoystickSetVirtualAxis(pad, a, 32767);
        EXPECT_EQ(axis[a](0), 1.0);
        SDL_JoystickSetVirtualAxis(pad, a, -32768);
        EXPECT_EQ(axis[a](0), -1.0);
        SDL_JoystickSetVirtualAxis(pad, a, 0);
        EXPECT_EQ(axis[a](0), 0.0);
    }
    // X and Y have a dead zone of 30 % of each half (9830 of 32768); beyond
    // it the rest of the half is stretched to the full range. Z has none.
    SDL_JoystickSetVirtualAxis(pad, 0, 9000);
    SDL_JoystickSetVirtualAxis(pad, 1, -9800);
    SDL_JoystickSetVirtualAxis(pad, 2, 9000);
    EXPECT_EQ(JoystickX(0), 0.0);
    EXPECT_EQ(JoystickY(0), 0.0);
    EXPECT_NEAR(JoystickZ(0), 9000 / 32767.0, 1e-4);
    SDL_JoystickSetVirtualAxis(pad, 0, 16384);
    SDL_JoystickSetVirtualAxis(pad, 1, -32768);
    EXPECT_NEAR(JoystickX(0), (16384 - 9830) / (32768.0 - 9830), 1e-4);
    EXPECT_EQ(JoystickY(0), -1.0);
    double x, y, b1, b2;
    SDL_JoystickSetVirtualAxis(pad, 0, 32767);
    ReadJoystick(x, y, b1, b2);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, -1);

    const struct {
        Uint8 hat;
        double x, y;
    } hats[] = {{SDL_HAT_UP, 0, -1},       {SDL_HAT_RIGHT, 1, 0},  {SDL_HAT_DOWN, 0, 1},
                {SDL_HAT_LEFT, -1, 0},     {SDL_HAT_RIGHTUP, 0, 0}, {SDL_HAT_LEFTDOWN, 0, 0},
                {SDL_HAT_CENTERED, 0, 0}};
    for (const auto& h : hats) {
        SDL_JoystickSetVirtualHat(pad, 0, h.hat);
        EXPECT_EQ(JoystickHatX(0), h.x) << int{h.hat};
        EXPECT_EQ(JoystickHatY(0), h.y) << int{h.hat};
    }

    for (int b = 0; b < 32; ++b) {
        SDL_JoystickSetVirtualButton(pad, b, SDL_PRESSED);
        EXPECT_EQ(JoystickButton(0, b), 128) << b;
        EXPECT_EQ(JoystickButton(0, (b + 1) % 32), 0) << b;
        SDL_JoystickSetVirtualButton(pad, b, SDL_RELEASED);
    }
    SDL_JoystickSetVirtualButton(pad, 1, SDL_PRESSED);
    EXPECT_EQ(JoystickButton(0, 32), 0);
    EXPECT_EQ(JoystickButton(0, -1), 0);
    ReadJoystick(x, y, b1, b2);
    EXPECT_EQ(b1, 0);
    EXPECT_EQ(b2, 128);
    // A virtual pad has no force feedback: nothing happens.
    JoystickForce(0, 50, 1, -1);
}

// Eleven pads attached: the first ten are recorded, in SDL's order, each
// read from its own device.
TEST(VirtualJoysticks, AtMostTenAreRecorded) {
    StartTestRuntime();
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
    // The order below is SDL's device order, which other pads would share.
    if (SDL_NumJoysticks() != 0) GTEST_SKIP() << "joysticks are attached to this machine";
    std::vector<SDL_JoystickID> ids;
    for (int i = 0; i < 11; ++i) {
        const std::string name = "Pad " + std::to_string(i);
        SDL_VirtualJoystickDesc desc;
        SDL_zero(desc);
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.naxes = 2;
        desc.nbuttons = 1;
        desc.name = name.c_str();
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        ASSERT_GE(index, 0) << SDL_GetError();
        ids.push_back(SDL_JoystickGetDeviceInstanceID(index));
    }
    ReleaseJoysticks(*runtime.input);
    runtime.input->joystickCount = 0;
    SetUpJoysticks(*runtime.input);
    EXPECT_EQ(JoystickCount(), 10);
    for (int i = 0; i < 10; ++i) {
        const std::string name = "Pad " + std::to_string(i);
        EXPECT_EQ(JoystickName(i).Text(), name + ", " + name);
        SDL_JoystickSetVirtualButton(SDL_JoystickFromInstanceID(ids[i]), 0, SDL_PRESSED);
        for (int j = 0; j < 10; ++j) EXPECT_EQ(JoystickButton(j, 0), j == i ? 128 : 0) << i << " " << j;
        SDL_JoystickSetVirtualButton(SDL_JoystickFromInstanceID(ids[i]), 0, SDL_RELEASED);
    }
    EXPECT_EQ(JoystickName(10).length(), 0u);
    ReleaseJoysticks(*runtime.input);
    runtime.input->joystickCount = 0;
    for (SDL_JoystickID id : ids) {
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == id) {
                SDL_JoystickDetachVirtual(i);
                break;
            }
        }
    }
}

}  // namespace
#endif
