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
// The folder of the error log, with its trailing separator; empty when it
// does not fit. Windows: the temporary directory (the user's own). Linux:
// TMPDIR when it is set; else the user's private runtime folder
// (XDG_RUNTIME_DIR, when it is a folder of this user that nobody else may
// enter), since /tmp is shared by every user; else /tmp.
std::string ErrorLogDirectory();
// Appends the bytes to the file in one write, creating it when missing
// (Linux: for this user alone). Linux writes only into a regular file of
// this user that has no other name: never through a symbolic link, never
// into a FIFO, a device or another user's file. False when refused or not
// written.
bool AppendToOwnFile(const char* path, const void* bytes, size_t size);
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
