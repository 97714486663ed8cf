#include "core/runtime_state.h"

RuntimeState runtime;
