// Start-up: from the process entry to the game program's main routine.
#pragma once
#include <brindle/game.h>
#include <brindle/rtstring.h>

// Called by the platform start code with the command line after the program name.
int ProgramEntry(void* instance, void* previousInstance, const char* commandLine, int showState);

// Fills the settings block from the game's values (ProgramEntry's first steps).
void ApplySettings(const GameSettings& settings, const char* commandLine);

// Brings up window, display, input, sound and network; always 0.
int InitRuntime(void* instance, void* previousInstance, const char* commandLine, int showState,
                const char* title);

// Skips leading blanks and tabs, the program name (quoted or not) and the
// blanks after it; returns the rest of a full command line.
const char* SkipProgramName(const char* fullCommandLine);

// The directory part of a program path: cut at the last '/' or '\\'
// (the separator removed); a path without separator stays whole.
RtString ProgramDirectory(const char* programPath);
