// Frame presentation and timing.
#include "core/frame.h"

#include <brindle/core.h>

#include "core/clock.h"
#include "core/program_end.h"
#include "core/runtime_state.h"
#include "core/window.h"
#include "lang/number_convert.h"
#include "lang/portable_maths.h"
#include "platform/gl.h"
#include "platform/gl_context.h"
#include "platform/system.h"
#include "platform/native_window.h"

namespace {


long long presentedFrames = 0;
FrameSteps steps;

void Run(void (*step)()) {
    if (step) step();
}

// Opaque drawing: blending switched on and off again, full colour.
void ResetAlphaMode(OpenGLZadederu& r) {
    glEnable(GL_BLEND);
    glDisable(GL_BLEND);
    r.alphaLevel = 1.0f;
    r.glState.Colour(1, 1, 1, 1);
}

}  // namespace

void SetFrameSteps(const FrameSteps& s) { steps = s; }

// Ends the 3D engine's stencil shadow pass (darkening the shadowed pixels)
// and restores the 2D viewport and colour state it changed.
void EndShadowVolumePass() { Run(steps.endShadowPass); }

void EndFromKeyboard() {
    runtime.errorCode = 0;
    runtime.errorLine = runtime.traceLine;
    EndProgram();
}

double PresentAndPace(OpenGLZadederu& r) {
    r.glState.MakePendingClear();  // a frame nothing was drawn into shows cleared
    glFlush();
    platform::SwapWindowBuffers(r.window);
    // The stencil buffer holds only the shadow pass's counts, and that pass
    // clears them when it ends: outside it, clearing the stencil buffer with
    // the depth buffer changes nothing, and Mesa clears a packed depth and
    // stencil buffer whole faster than its depth alone. Buffers that nothing
    // wrote since their last clear are left as they are.
    if (!r.glState.DepthClean()) {
        if (runtime.scene.shadowVolumeMode) {
            glClear(GL_DEPTH_BUFFER_BIT);
        } else {
            glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
            r.glState.DepthCleared();
        }
    }
    // The colour buffer is cleared before the frame's first draw, unless
    // that draw replaces every pixel (a full-screen opaque image).
    r.glState.ClearColourLater();
    ++presentedFrames;

    double t0 = r.Now();
    platform::DispatchAllMessages();
    double now = t0;
    double deadline = r.startTime;
    if (deadline >= t0) {
        // Busy wait on the clock and the message queue, without sleeping.
        now = r.Now();
        while (deadline >= now) {
            if (!platform::DispatchOneMessage()) now = r.Now();
        }
    }
    r.startTime = NextDeadline(deadline, r.framePeriod, now);
    return (now - t0) + 1;
}

long long PresentedFrames() { return presentedFrames; }

double NextDeadline(double deadline, double period, double now) {
    double next = deadline + period;
    if (period > 0 && now > next) {
        next += maths::ceil((now - next) / period) * period;
        // At large time stamps the sum may round below now.
        if (next < now) next = now;
    }
    return next;
}

void ShowFrame() {
    OpenGLZadederu& r = runtime.renderer;
    Run(steps.keepMusicLooping);
    while (runtime.paused) {
        PumpMessages();
        platform::SleepMs(100);
    }
    Run(steps.refreshInput);
    EndShadowVolumePass();
    PresentAndPace(r);
    // Frames are stamped when they are shown, after the wait: the time
    // between two stamps is one frame period at a steady rate (the real
    // time of a late frame), so right after ShowFrame FrameDuration is the
    // length of the frame just shown, and a game that moves by it once per
    // frame keeps pace with the clock. A stamp taken before the wait would
    // reach back over two periods.
    runtime.previousFrameStart = runtime.frameStart;
    runtime.frameStart = Now();
    ResetAlphaMode(r);
    // The full-screen 2D view first, so that the background lands at the
    // top left whatever viewport or 3D projection the game left behind.
    r.ResetViewport();
    Run(steps.drawBackground);
    Run(steps.resetMipmapping);
}

void SetFrameRate(double fps) {
    int n = TruncToInt(fps);
    runtime.renderer.framePeriod = n > 0 ? 1000.0 / n : 2.0;
}

double FrameDuration() {
    double d = Now() - runtime.previousFrameStart;
    return d > 0 ? d : 1;
}

double ElapsedTime() { return Now() - runtime.programStart; }

void SetEscapeEnds(double flag) { runtime.escapeEnds = flag != 0; }
