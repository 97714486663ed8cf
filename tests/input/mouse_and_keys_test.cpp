// The mouse's once-per-frame measurement on the cursor fallback (the test
// runtime has no device mouse), moving the real system pointer; and typed
// characters from a given key state through the real keyboard layout.
#include <brindle.h>
#include <gtest/gtest.h>

#include <limits>

#include "core/runtime_state.h"
#include "input/mouse.h"
#include "input/typed_chars.h"
#include "platform/keyboard.h"
#include "platform/mouse_device.h"
#include "support/test_runtime.h"

namespace {

class Mouse : public ::testing::Test {
protected:
    // The runtime (and its input record) exists once the first test started it.
    Mouse() : in((StartTestRuntime(), *runtime.input)) {}
    void SetUp() override {
        ASSERT_EQ(in.mouseDevice, nullptr);
        SwitchMouseFree(in, false);
    }
    void TearDown() override { SwitchMouseFree(in, false); }
    InputDevices& in;
};

TEST_F(Mouse, CapturedMotionIsMeasuredOncePerFrame) {
    // The cursor rests in the middle of the 640 x 480 client area (on the
    // screen wherever the window is), so that clicks land in the window.
    int restX = 320, restY = 240;
    platform::ClientToScreenPosition(in.window, restX, restY);
    in.mouseX = 10;
    in.mouseY = 20;
    platform::MoveCursorTo(restX + 50, restY + 30);
    in.newFrame = 1;
    MouseReading first;
    ReadMouseState(in, first);
    EXPECT_EQ(first.dx, 50);
    EXPECT_EQ(first.dy, 30);
    EXPECT_EQ(first.wheel, 0);
    // The cursor rests there again; the position moved once.
    int x = 0, y = 0;
    platform::CursorScreenPosition(x, y);
    EXPECT_EQ(x, restX);
    EXPECT_EQ(y, restY);
    EXPECT_EQ(in.mouseX, 60);
    EXPECT_EQ(in.mouseY, 50);

    // Later reads in the same frame give the same motion, even after the
    // pointer moved again; the position does not move twice.
    platform::MoveCursorTo(restX - 10, restY + 5);
    MouseReading second;
    ReadMouseState(in, second);
    EXPECT_EQ(second.dx, 50);
    EXPECT_EQ(second.dy, 30);
    EXPECT_EQ(MouseAxis(0), 50);
    EXPECT_EQ(MouseAxis(1), 30);
    EXPECT_EQ(in.mouseX, 60);

    // The next frame measures the move since the last measurement.
    in.newFrame = 1;
    EXPECT_EQ(MouseAxis(0), -10);
    EXPECT_EQ(MouseAxis(1), 5);
    EXPECT_EQ(in.mouseX, 50);
    for (double n : {2.0, 3.0, 4.0, 5.0, 6.0, -1.0, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_EQ(MouseAxis(n), 0) << n;
}

TEST_F(Mouse, ReadMouseClampsAndKeepsThePosition) {
    in.newFrame = 0;  // no new motion in this frame
    in.frameDX = in.frameDY = 0;
    const struct {
        double setX, setY;
        double x, y;
    } cases[] = {
        {-50, 1e6, 0, 479},
        {700, -3, 639, 0},
        {1e300, std::numeric_limits<double>::quiet_NaN(), 0, 0},  // truncated to the lowest integer
        {12.9, 34.2, 12, 34},
    };
    for (const auto& c : cases) {
        SetMousePosition(c.setX, c.setY);
        double x = -1, y = -1, b1 = -1, b2 = -1;
        ReadMouse(x, y, b1, b2);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
        EXPECT_EQ(in.mouseX, c.x);  // stored back
        EXPECT_EQ(in.mouseY, c.y);
        EXPECT_EQ(b1, 0);
        EXPECT_EQ(b2, 0);
    }
}

TEST_F(Mouse, FreeMouseFollowsTheCursor) {
    SwitchMouseFree(in, true);
    EXPECT_EQ(in.mouseFree, 1);
    int x = 30, y = 40;
    platform::ClientToScreenPosition(in.window, x, y);
    platform::MoveCursorTo(x, y);
    in.mouseX = 20;
    in.mouseY = 45;
    in.newFrame = 1;
    EXPECT_EQ(MouseAxis(0), 10);
    EXPECT_EQ(MouseAxis(1), -5);
    EXPECT_EQ(in.mouseX, 30);
    EXPECT_EQ(in.mouseY, 40);
    // The cursor is not brought back to a resting point.
    int sx = 0, sy = 0;
    platform::CursorScreenPosition(sx, sy);
    EXPECT_EQ(sx, x);
    EXPECT_EQ(sy, y);
}

class TypedChars : public ::testing::Test {
protected:
    void SetUp() override {
        StartTestRuntime();
        keys = *runtime.input;
        ASSERT_NE(keys.keyboardDevice, nullptr);
        keys.lastTypedChar = 0;
        Release();
    }
    void Hold(std::initializer_list<int> codes) {
        for (int c : codes) keys.keyState[c] = 0x80;
    }
    void Release() {
        for (uint8_t& k : keys.keyState) k = 0;
    }
    InputDevices keys{};  // a copy of the runtime's record, its key state set by hand
};

TEST_F(TypedChars, EachKeyPressIsReportedOnce) {
    Hold({30});  // the A key
    EXPECT_EQ(TypedCharFromHeldKeys(keys), 'a');
    EXPECT_EQ(TypedCharFromHeldKeys(keys), 0);  // still held
    Hold({48});  // B as well: the lower scan code still wins, nothing new
    EXPECT_EQ(TypedCharFromHeldKeys(keys), 0);
    Release();
    EXPECT_EQ(TypedCharFromHeldKeys(keys), 0);
    EXPECT_EQ(keys.lastTypedChar, 0);
    Hold({30});
    EXPECT_EQ(TypedCharFromHeldKeys(keys), 'a');  // pressed again: reported again
    Hold({42});                                   // Shift comes: a new character
    EXPECT_EQ(TypedCharFromHeldKeys(keys), 'A');
    Release();
    Hold({54, 48});  // right Shift
    EXPECT_EQ(TypedCharFromHeldKeys(keys), 'B');
    Release();
    Hold({29});  // Ctrl alone gives nothing
    EXPECT_EQ(TypedCharFromHeldKeys(keys), 0);
}

TEST_F(TypedChars, FixedCodesAndTheLayout) {
    const struct {
        int code, c;
    } cases[] = {
        {14, 8},  {28, 10}, {156, 10},                                   // Backspace, both Return keys
        {29, 0},  {42, 0},  {54, 0}, {56, 0}, {58, 0}, {69, 0}, {221, 0},  // modifiers and locks
        {1, 0},                                                          // Escape: a control character
        {15, 0},                                                         // Tab likewise
        {59, 0},                                                         // F1: no character
        {57, ' '}, {2, '1'}, {11, '0'}, {16, 'q'}, {50, 'm'},            // the test server's US layout
        {200, 0},                                                        // cursor up
    };
    for (const auto& c : cases) EXPECT_EQ(ScanCodeToChar(keys, c.code), c.c) << c.code;
}

}  // namespace
