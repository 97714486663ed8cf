// The seam: code outside the program. Libraries loaded by name (Windows:
// LoadLibraryA / GetProcAddress; Linux: the dynamic loader) and other programs
// started from a command line (Windows: CreateProcessA; Linux: posix_spawnp,
// never a shell, with the line split by the Windows rules).
#pragma once
#include <cstdint>

namespace platform {

struct LibraryObject;  // HMODULE on Windows; a dlopen handle on Linux
using Library = LibraryObject*;
struct ProcessObject;  // the process handle on Windows; the child's record on Linux
using Process = ProcessObject*;

// Null when the library cannot be loaded. A name without a folder is looked
// for beside the running program first, then where the system looks.
Library LoadLibraryNamed(const char* name);
// The function's address, or null when the library has no such function.
void* LibraryFunction(Library library, const char* name);
void FreeLibraryHandle(Library library);

// Starts the command line (no handle inheritance, default environment and
// directory): its first word names the program, looked for beside the
// running program first, then along the system's path. `show` asks for the
// program's window to be shown, otherwise hidden. Null when it could not be
// started (a missing program included).
Process StartProgram(const char* commandLine, bool show);
// True with the exit code once the program has ended; false while it runs.
// Linux keeps only the low 8 bits of a program's own exit code; a program
// ended by a signal gets the code Windows gives a program ended that way.
bool ProgramExitCode(Process process, uint32_t& exitCode);
// Forgets the program (it goes on running if it has not ended).
void CloseProgram(Process process);

}  // namespace platform
