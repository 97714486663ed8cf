// The waiting step and the debugger breakpoint without a debugger.
#include <gtest/gtest.h>

#include <brindle/core.h>

#include "core/clock.h"
#include "core/runtime_state.h"
#include "core/waiting.h"
#include "input/input_devices.h"
#include "support/test_runtime.h"

namespace {

TEST(IdleUntilInput, ReturnsAfterItsPassesWithoutInput) {
    StartTestRuntime();
    ASSERT_NE(runtime.input, nullptr);
    runtime.input->newFrame = 0;
    double t0 = Now();
    IdleUntilInput();
    double spent = Now() - t0;
    // Eight passes with a 30 ms sleep each, and it does return.
    EXPECT_GE(spent, 8 * 30 - 5);
    EXPECT_LT(spent, 10000);
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
