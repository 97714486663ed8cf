#include "core/window.h"

#include "core/program_end.h"
#include "core/runtime_state.h"
#include "platform/events.h"
#include "platform/gl_context.h"
#include "platform/native_window.h"

void ConnectWindowEvents() {
    platform::eventSink.activated = WindowActivated;
    platform::eventSink.deactivated = WindowDeactivated;
    platform::eventSink.closeRequested = WindowCloseRequested;
}

void WindowActivated() {
    if (runtime.debugTrace) return;
    platform::SetWindowCaption(runtime.mainWindow, runtime.windowTitle.Text());
    runtime.paused = 0;
}

void WindowDeactivated() {
    if (runtime.debugTrace) return;
    RtString caption = RtString::Concat(runtime.windowTitle, " <pause>");
    platform::SetWindowCaption(runtime.mainWindow, caption.Text());
    runtime.paused = 1;
}

void WindowCloseRequested() { EndProgram(); }

int PumpMessages() {
    platform::DispatchAllMessages();
    return 1;
}

int HideForDialog() {
    OpenGLZadederu& r = runtime.renderer;
    if (r.fullscreen) platform::RestoreDisplayMode(runtime.mainWindow);
    platform::HideWindowForDialog(runtime.mainWindow);
    r.fullscreen = false;
    return 1;
}
