// The window's own rules, shared by both platforms: pausing while inactive,
// ending the program when closed. Native events arrive through these calls,
// which ConnectWindowEvents hands to the platform's event sink.
#pragma once

void ConnectWindowEvents();

void WindowActivated();
void WindowDeactivated();
[[noreturn]] void WindowCloseRequested();

// Removes and dispatches every waiting window message; always 1.
int PumpMessages();
// Hides the window for a system dialog (leaves fullscreen first); always 1.
int HideForDialog();
