// Start-up: from the process entry to the game program's main routine.
#pragma once
#include <brindle/game.h>
#include <brindle/rtstring.h>

#include "platform/program_entry.h"  // ProgramEntry, SkipProgramName
#include "platform/native_window.h"

// Fills the settings block from the game's values (ProgramEntry's first steps).
void ApplySettings(const GameSettings& settings, const char* commandLine);

// Brings up window, display, input, sound and network; always 0.
int InitRuntime(platform::AppInstance instance, platform::AppInstance previousInstance,
                const char* commandLine, int showState, const char* title);

// The directory part of a program path: cut at the last '/' or '\\'
// (the separator removed); a path without separator stays whole.
RtString ProgramDirectory(const char* programPath);
