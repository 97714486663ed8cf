// How values end the program on an error they cannot answer (an array that
// cannot be allocated: 7; an element outside the array: 8 or 9) without
// knowing the runtime: the runtime that ends the program hands lang its
// handler before the game starts.
#pragma once

// Records the error number and ends the program; never returns.
using FatalErrorHandler = void (*)(int code);

void SetFatalErrorHandler(FatalErrorHandler handler);

// Hands `code` to the handler. Without one (lang linked alone) the process
// aborts.
[[noreturn]] void FatalError(int code);
