// The seam: process, clock, file-system and dialog services.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

// High-resolution counter; false when there is none.
bool QueryCounterFrequency(double& ticksPerSecond);
double QueryCounter();
// Multimedia timer milliseconds (fallback clock).
double MultimediaTimeMs();
void BeginTimerPeriod();  // 1 ms timer resolution
void EndTimerPeriod();
void SleepMs(unsigned ms);

std::string ExecutablePath();     // full path of the running program
std::string TempDirectory();      // with its trailing separator
bool ChangeDirectory(const char* path);
bool DeleteFileAt(const char* path);

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
