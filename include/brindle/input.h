// Input commands: keys by DirectInput scan code (1 = Escape, 2..11 = the
// digit row, 28 = Return, 42 = left Shift, 57 = Space, 59..68 = F1..F10,
// 200 = cursor up ...).
#pragma once

// 1 while the key is held, else 0; reads the keyboard afresh.
double KeyDown(double code);
