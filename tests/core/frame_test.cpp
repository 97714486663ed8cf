// Frame presentation and timing on the real window: the deadline grid, the
// frame-rate setting and the time stamps. Timing figures are measured in
// bench/frame_pacing; here only orders and wide bounds are checked.
#include <gtest/gtest.h>

#include <brindle/core.h>

#include <cmath>
#include <limits>

#include "core/clock.h"
#include "core/frame.h"
#include "core/runtime_state.h"
#include "platform/gl.h"
#include "platform/system.h"
#include "support/test_runtime.h"

namespace {

class Frames : public ::testing::Test {
protected:
    void SetUp() override {
        StartTestRuntime();
        SetFrameRate(60);
    }
    void TearDown() override { SetFrameRate(60); }
    OpenGLZadederu& r = runtime.renderer;

    // Whether t lies on the grid through origin with the given period.
    static bool OnGrid(double t, double origin, double period) {
        double steps = (t - origin) / period;
        return std::fabs(steps - std::round(steps)) < 1e-6;
    }
};

TEST_F(Frames, FrameRateSetsThePeriod) {
    SetFrameRate(60);
    EXPECT_DOUBLE_EQ(r.framePeriod, 1000.0 / 60);
    SetFrameRate(30.9);  // truncated: 30 frames per second
    EXPECT_DOUBLE_EQ(r.framePeriod, 1000.0 / 30);
    SetFrameRate(0);
    EXPECT_EQ(r.framePeriod, 2.0);
    SetFrameRate(-25);
    EXPECT_EQ(r.framePeriod, 2.0);
    SetFrameRate(0.99);
    EXPECT_EQ(r.framePeriod, 2.0);
    SetFrameRate(1);
    EXPECT_EQ(r.framePeriod, 1000.0);
    // Beyond any int, and not a number: the 2 ms limit, never an overflow.
    SetFrameRate(1e300);
    EXPECT_EQ(r.framePeriod, 2.0);
    SetFrameRate(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(r.framePeriod, 2.0);
}

TEST_F(Frames, DeadlinesStayOnOneGrid) {
    PresentAndPace(r);
    double origin = r.startTime;
    for (int i = 0; i < 5; ++i) {
        double before = r.Now();
        double waited = PresentAndPace(r);
        EXPECT_GE(waited, 1.0);
        EXPECT_TRUE(OnGrid(r.startTime, origin, r.framePeriod));
        // The next deadline is the first grid point after the wait ended: later
        // than the call began, and its predecessor already passed. (Reading the
        // clock again after the call would race a busy machine's scheduler.)
        EXPECT_GT(r.startTime, before);
        EXPECT_LE(r.startTime - r.framePeriod, r.Now());
    }
}

TEST_F(Frames, LateFrameIsShownAtOnceAndTheGridHolds) {
    PresentAndPace(r);
    double origin = r.startTime;
    platform::SleepMs(40);  // more than two frame periods of work
    double before = r.Now();
    double waited = PresentAndPace(r);
    // Late: no wait at all, so exactly the 1 added to the waiting time.
    EXPECT_EQ(waited, 1.0);
    EXPECT_TRUE(OnGrid(r.startTime, origin, r.framePeriod));
    // Missed grid points are skipped: the next deadline is the first one
    // after now, not one of those that passed during the late frame.
    EXPECT_GT(r.startTime, before);
    EXPECT_LE(r.startTime - r.framePeriod, r.Now());
    // The frame after it waits for that grid point.
    double next = r.startTime;
    PresentAndPace(r);
    EXPECT_GT(r.Now(), next);
    EXPECT_TRUE(OnGrid(r.startTime, origin, r.framePeriod));
}

// The next deadline against a plain step-by-step model on ordinary values,
// and at uptimes where the period is below the clock's resolution (a
// 2^31 - 1 frames-per-second setting after 25 days, or 30 years).
TEST(NextDeadline, SkipsMissedFramesOnTheGrid) {
    auto model = [](double deadline, double period, double now) {
        double next = deadline + period;
        if (period > 0)
            while (now > next) next += period;
        return next;
    };
    const struct {
        double deadline, period, now;
    } ordinary[] = {
        {1000, 1000.0 / 60, 1000},     {1000, 1000.0 / 60, 1016},  {1000, 1000.0 / 60, 1017},
        {1000, 1000.0 / 60, 1050.5},   {1000, 1000.0 / 30, 5010},  {1000, 2.0, 1001.9},
        {1000, 2.0, 1004},             {123456.789, 10, 123999},   {1000, 0, 5000},
    };
    for (const auto& c : ordinary)
        EXPECT_NEAR(NextDeadline(c.deadline, c.period, c.now), model(c.deadline, c.period, c.now), 1e-6)
            << c.deadline << " " << c.period << " " << c.now;

    const double tiny = 1000.0 / 2147483647.0;
    for (double uptime : {2.2e9, 9.5e11}) {
        SCOPED_TRACE(uptime);
        const double next = NextDeadline(uptime, tiny, uptime + 5000);
        EXPECT_GE(next, uptime + 5000);
        EXPECT_LE(next, uptime + 5000 + 1);
    }
}

TEST_F(Frames, FramesAreReleasedAfterTheirDeadline) {
    ShowFrame();
    for (int i = 0; i < 10; ++i) {
        double deadline = r.startTime;
        ShowFrame();
        EXPECT_GT(r.Now(), deadline);
        EXPECT_GT(runtime.frameStart, runtime.previousFrameStart);
    }
}

TEST_F(Frames, TwoMillisecondPeriodAtFrameRateZero) {
    SetFrameRate(0);
    ShowFrame();
    double first = r.startTime;
    for (int i = 0; i < 20; ++i) ShowFrame();
    EXPECT_TRUE(OnGrid(r.startTime, first, 2.0));
    EXPECT_GE(r.startTime - first, 20 * 2.0 - 1e-9);
}

TEST_F(Frames, FrameDurationIsNeverZeroOrNegative) {
    ShowFrame();
    double a = FrameDuration();
    double b = FrameDuration();
    EXPECT_GT(a, 0);
    EXPECT_GE(b, a);  // measured from the previous ShowFrame: it grows
    runtime.previousFrameStart = Now() + 1000;  // a stamp in the future
    EXPECT_EQ(FrameDuration(), 1.0);
    runtime.previousFrameStart = Now();
    EXPECT_GT(FrameDuration(), 0);
    ShowFrame();
}

// A game that moves by FrameDuration once per frame, right after ShowFrame,
// keeps pace with the clock: over 1.5 s the durations add up to the time
// that passed, whatever the frame rate and when every frame is late (40 ms
// of work at 60 frames per second). A relation between two times measured
// in one run, so it holds on a busy machine too.
TEST_F(Frames, FrameDurationsAddUpToTheElapsedTime) {
    const struct {
        int fps, workMs;
    } cases[] = {{60, 0}, {30, 0}, {500, 0}, {60, 40}};
    for (const auto& c : cases) {
        SetFrameRate(c.fps);
        ShowFrame();
        const double start = Now();
        double sum = 0, elapsed = 0;
        int frames = 0;
        do {
            if (c.workMs) platform::SleepMs(c.workMs);
            ShowFrame();
            sum += FrameDuration();
            ++frames;
            elapsed = Now() - start;
        } while (elapsed < 1500);
        EXPECT_NEAR(sum / elapsed, 1.0, 0.05)
            << c.fps << " fps, " << c.workMs << " ms of work: " << frames << " frames, " << sum
            << " ms summed over " << elapsed << " ms";
    }
}

TEST_F(Frames, ShowFrameResetsTheDrawingState) {
    r.SetViewport2D(10, 10, 20, 20);
    r.alphaLevel = 0.25f;
    runtime.mipmapSetting = 1;
    ShowFrame();
    EXPECT_EQ(r.alphaLevel, 1.0f);
    EXPECT_EQ(r.viewportX, 0);
    EXPECT_EQ(r.viewportY, 0);
    EXPECT_EQ(r.viewportWidth, r.screenWidth);
    EXPECT_EQ(r.viewportHeight, r.screenHeight);
    EXPECT_EQ(runtime.mipmapSetting, 0);
}

TEST_F(Frames, PresentedFrameIsClearedAfterTheSwap) {
    glClearColor(1, 1, 1, 1);
    runtime.renderer.glState.MakePendingClear();
    glClear(GL_COLOR_BUFFER_BIT);
    r.ResetViewport();  // clear colour black again
    PresentAndPace(r);
    unsigned char rgba[4] = {1, 1, 1, 1};
    glReadBuffer(GL_BACK);
    runtime.renderer.glState.MakePendingClear();  // the frame's clear waits for a draw
    glReadPixels(320, 240, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    EXPECT_EQ(rgba[0], 0);
    EXPECT_EQ(rgba[1], 0);
    EXPECT_EQ(rgba[2], 0);
}

// Outside the shadow pass the stencil buffer is cleared with the depth
// buffer; during it (a fade while shadows are drawn) its counts stay.
TEST_F(Frames, PresentClearsTheStencilBufferOutsideTheShadowPass) {
    for (bool pass : {false, true}) {
        glClearStencil(7);
        glClear(GL_STENCIL_BUFFER_BIT);
        glClearStencil(0);
        r.glState.DepthMayChange();  // written behind the renderer's back
        runtime.scene.shadowVolumeMode = pass;
        PresentAndPace(r);
        runtime.scene.shadowVolumeMode = false;
        unsigned char stencil = 99;
        glReadBuffer(GL_BACK);
        glReadPixels(320, 240, 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, &stencil);
        EXPECT_EQ(stencil, pass ? 7 : 0) << (pass ? "during" : "outside") << " the shadow pass";
    }
}

TEST(ElapsedTime, CountsFromTheEndOfStartUp) {
    StartTestRuntime();
    double e1 = ElapsedTime();
    double e2 = ElapsedTime();
    EXPECT_GE(e1, 0);
    EXPECT_GE(e2, e1);
    EXPECT_NEAR(runtime.programStart + e2, Now(), 50);
}

}  // namespace
