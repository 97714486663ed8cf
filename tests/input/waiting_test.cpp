// The waiting step and the debugger breakpoint without a debugger.
#include <gtest/gtest.h>

#include <brindle/core.h>

#include "core/runtime_state.h"
#include "input/waiting.h"
#include "input/input_devices.h"
#include "support/test_runtime.h"

namespace {

TEST(IdleUntilInput, ReturnsAfterItsPassesWithoutInput) {
    StartTestRuntime();
    ASSERT_NE(runtime.input, nullptr);
    // The first call may return at once: the mouse position is new to it.
    IdleUntilInput();
    runtime.input->frameDX = 1234;
    const uint32_t reads = runtime.input->keyboardReads;
    IdleUntilInput();
    // Eight passes, each reading the keyboard once (a read drops one queued
    // input message on Windows), and it does return.
    EXPECT_EQ(runtime.input->keyboardReads - reads, 8u);
    // Each pass starts a new input frame, so the mouse was measured afresh
    // (and had not moved).
    EXPECT_EQ(runtime.input->frameDX, 0);
}

TEST(DebugBreakpoint, WithoutDebuggerChangesNothing) {
    StartTestRuntime();
    runtime.paused = 1;
    runtime.input->newFrame = 0;
    DebugBreakpoint(42);
    EXPECT_EQ(runtime.paused, 1);
    EXPECT_EQ(runtime.input->newFrame, 0);
    runtime.paused = 0;
}

}  // namespace
