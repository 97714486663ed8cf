// The seam: process, clock, file-system and dialog services.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace platform {

// Room for the longest path the file calls take, terminator included: the
// ANSI calls' MAX_PATH on Windows, PATH_MAX on Linux. Longer paths are
// refused, never cut (a cut path names some other file).
#ifdef _WIN32
constexpr int kPathBufferSize = 260;
#else
constexpr int kPathBufferSize = 4096;
#endif

// High-resolution counter; false when there is none.
bool QueryCounterFrequency(double& ticksPerSecond);
double QueryCounter();
// Multimedia timer milliseconds (fallback clock).
double MultimediaTimeMs();
void BeginTimerPeriod();  // 1 ms timer resolution
void EndTimerPeriod();
void SleepMs(unsigned ms);

// Full path of the running program; empty when it does not fit.
std::string ExecutablePath();
// The temporary directory with its trailing separator; empty when it does not fit.
std::string TempDirectory();
bool ChangeDirectory(const char* path);
bool DeleteFileAt(const char* path);
// Creates a file that did not exist and opens it for binary writing: never
// opens an existing file and never follows a link in its place (the user
// alone may read it where permissions exist). Null when the path exists or
// the file cannot be created.
std::FILE* CreateNewFile(const char* path);
// Unpredictable bytes from the operating system; false when there are none.
bool RandomBytes(void* buffer, size_t size);

// A real message box with the warning icon; waits for the user.
void WarningBox(const char* caption, const char* text);
void Beep();

// Whether a debugger is attached to the process, and a text for it.
bool DebuggerAttached();
void DebugOutput(const char* text);

// A 32-bit value identifying this machine (volume serial number of C: on
// Windows, derived from /etc/machine-id on Linux); false when unavailable.
bool MachineSerial(uint32_t& serial);

// The platform's name as programs see it: "WIN32" or "LINUX".
const char* PlatformName();

}  // namespace platform
