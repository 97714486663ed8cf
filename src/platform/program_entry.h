// The seam, upwards: what the backend's process entry (main / WinMain) calls.
// Defined by the runtime (core/startup.cpp).
#pragma once

#include "platform/native_window.h"

// Runs the game program: the command line is the part after the program name.
// Returns the process exit code when the program does not end by itself.
int ProgramEntry(platform::AppInstance instance, platform::AppInstance previousInstance,
                 const char* commandLine, int showState);

// Skips leading blanks and tabs, the program name (quoted or not) and the
// blanks after it; returns the rest of a full command line.
const char* SkipProgramName(const char* fullCommandLine);
