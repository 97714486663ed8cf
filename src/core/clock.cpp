#include "core/clock.h"

#include "core/runtime_state.h"

// The renderer holds the counter test and frequency.
double Now() { return runtime.renderer.Now(); }
