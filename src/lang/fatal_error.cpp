#include "lang/fatal_error.h"

#include <cstdio>
#include <cstdlib>

namespace {
// Constant-initialised, so it is empty before any static constructor runs.
FatalErrorHandler handler = nullptr;
}  // namespace

void SetFatalErrorHandler(FatalErrorHandler h) { handler = h; }

void FatalError(int code) {
    if (handler) handler(code);
    std::fprintf(stderr, "fatal error %d\n", code);
    std::abort();
}
