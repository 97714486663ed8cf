// The seam, upwards: how native events reach the runtime. Backends never
// include behaviour headers (core/, input/, sound/, ...); instead portable
// code fills the members of the one event sink during start-up, and the
// backend's window procedure or event loop delivers through it. A member
// left null means nobody listens: the event is dropped.
//
// Adding an event: a member here (a plain function pointer, with a comment
// saying when it comes), set by the subsystem that handles it, delivered by
// each backend with platform::Deliver(platform::eventSink.member, args...).
#pragma once

namespace platform {

struct EventSink {
    void (*activated)() = nullptr;    // the window became the active one
    void (*deactivated)() = nullptr;  // the window lost the activation
    // The user asked to close the window (close box, Alt+F4, window manager,
    // SDL_QUIT). The runtime's handler ends the program and does not return.
    void (*closeRequested)() = nullptr;
};

extern EventSink eventSink;

// Calls the member if it is set.
template <typename Handler, typename... Args>
void Deliver(Handler* handler, Args... args) {
    if (handler) handler(args...);
}

}  // namespace platform
