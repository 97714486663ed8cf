// The seam: code outside the program. Libraries loaded by name (Windows:
// LoadLibraryA / GetProcAddress; Linux: the dynamic loader) and other programs
// started from a command line (Windows: CreateProcessA; Linux: /bin/sh -c).
#pragma once
#include <cstdint>

namespace platform {

struct LibraryObject;  // HMODULE on Windows; a dlopen handle on Linux
using Library = LibraryObject*;
struct ProcessObject;  // the process handle on Windows; the child's record on Linux
using Process = ProcessObject*;

// Null when the library cannot be loaded.
Library LoadLibraryNamed(const char* name);
// The function's address, or null when the library has no such function.
void* LibraryFunction(Library library, const char* name);
void FreeLibraryHandle(Library library);

// Starts the command line (no handle inheritance, default environment and
// directory); `show` asks for the program's window to be shown, otherwise
// hidden. Null when it could not be started.
Process StartProgram(const char* commandLine, bool show);
// True with the exit code once the program has ended; false while it runs.
bool ProgramExitCode(Process process, uint32_t& exitCode);
// Forgets the program (it goes on running if it has not ended).
void CloseProgram(Process process);

}  // namespace platform
