// Joystick state records to command values (the same conversion on both
// targets), and the commands with no joystick attached.
#include <brindle.h>
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "core/runtime_state.h"
#include "input/joysticks.h"
#include "support/test_runtime.h"

namespace {

JoystickState Resting() {
    JoystickState s;
    std::memset(&s, 0, sizeof s);
    for (uint32_t& pov : s.pov) pov = platform::kPovCentred;
    return s;
}

TEST(JoystickValues, AxesAreDividedBy32767AndLimited) {
    const struct {
        int32_t raw;
        double value;
    } cases[] = {
        {32768, 1.0},    // DirectInput's maximum: 1, not 1.00003
        {32767, 1.0},
        {-32768, -1.0},  // beyond -1 by the same amount
        {0, 0.0},
        {16384, 16384 / 32767.0},
        {-100, -100 / 32767.0},
        {65535, 1.0},  // a driver's unscaled position (multimedia joysticks)
    };
    for (const auto& c : cases) EXPECT_EQ(JoystickAxisValue(c.raw), c.value) << c.raw;
}

TEST(JoystickValues, HatButtonsAndDirections) {
    const struct {
        uint32_t pov;
        double x, y;
    } hats[] = {
        {0, 0, -1},     {4500, 0, 0},  {9000, 1, 0},       {13500, 0, 0},      {18000, 0, 1},
        {22500, 0, 0},  {27000, -1, 0}, {31500, 0, 0},     {0xFFFFFFFFu, 0, 0},
        {65535, 0, 0},  // a multimedia joystick's centred hat
    };
    for (const auto& h : hats) {
        JoystickState s = Resting();
        s.pov[0] = h.pov;
        EXPECT_EQ(JoystickHatXValue(s), h.x) << h.pov;
        EXPECT_EQ(JoystickHatYValue(s), h.y) << h.pov;
        EXPECT_EQ(JoystickActive(s), h.y != 0 || h.x != 0) << h.pov;
    }

    JoystickState s = Resting();
    s.buttons[0] = 0x80;
    s.buttons[3] = 8;  // the multimedia fallback's bit value of button 3
    s.buttons[31] = 0x80;
    EXPECT_EQ(JoystickButtonValue(s, 0), 128);
    EXPECT_EQ(JoystickButtonValue(s, 3), 8);
    EXPECT_EQ(JoystickButtonValue(s, 31), 128);
    EXPECT_EQ(JoystickButtonValue(s, 1), 0);
    EXPECT_EQ(JoystickButtonValue(s, 32), 0);
    EXPECT_EQ(JoystickButtonValue(s, -1), 0);
    EXPECT_TRUE(JoystickActive(s));

    const struct {
        int32_t raw;
        double direction;
    } directions[] = {{32768, 1}, {30000, 1}, {29999, 0}, {0, 0}, {-29999, 0}, {-30000, -1}, {-32768, -1}};
    for (const auto& d : directions) EXPECT_EQ(JoystickDirection(d.raw), d.direction) << d.raw;

    // An analog stick that does not rest exactly at 0 counts as input; the
    // rotation axes do not.
    s = Resting();
    EXPECT_FALSE(JoystickActive(s));
    s.rz = 500;
    EXPECT_FALSE(JoystickActive(s));
    s.z = -1;
    EXPECT_TRUE(JoystickActive(s));
}

// With no joystick attached (as under Wine here): every command 0, names
// empty, whatever the number.
TEST(JoystickCommands, WithoutJoysticksEverythingIsZero) {
    StartTestRuntime();
    ASSERT_EQ(JoystickCount(), 0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double n : {0.0, 1.0, 9.0, 10.0, -1.0, 1e12, nan}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(JoystickName(n).length(), 0u);
        for (double (*command)(double) : {JoystickX, JoystickY, JoystickZ, JoystickRX, JoystickRY, JoystickRZ,
                                          JoystickHatX, JoystickHatY})
            EXPECT_EQ(command(n), 0);
        for (double b : {0.0, 31.0, 32.0, -1.0, nan}) EXPECT_EQ(JoystickButton(n, b), 0);
        JoystickForce(n, 100, 0.5, nan);
    }
    double x = 7, y = 7, b1 = 7, b2 = 7;
    ReadJoystick(x, y, b1, b2);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(b1, 0);
    EXPECT_EQ(b2, 0);
}

}  // namespace
