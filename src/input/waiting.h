// Waiting for the user: one bounded step shared by the waiting commands. It
// keeps the window alive and honours the Escape rule.
#pragma once

// Returns as soon as a key is held or the mouse or a joystick gives input,
// else after 8 passes of about 30 ms.
void IdleUntilInput();
