// The waiting step and the debugger breakpoint without a debugger.
#include <gtest/gtest.h>

#include <brindle/core.h>

#include "core/runtime_state.h"
#include "core/waiting.h"
#include "input/input_devices.h"
#include "support/test_runtime.h"

namespace {

TEST(IdleUntilInput, ReturnsAfterItsPassesWithoutInput) {
    StartTestRuntime();
    ASSERT_NE(runtime.input, nullptr);
    runtime.input->newFrame = 0;
    const uint32_t reads = runtime.input->keyboardReads;
    IdleUntilInput();
    // Eight passes, each reading the keyboard once (a read drops one queued
    // input message on Windows), and it does return.
    EXPECT_EQ(runtime.input->keyboardReads - reads, 8u);
    EXPECT_EQ(runtime.input->newFrame, 1);  // each pass marks a new input frame
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
