// Process, clock and file-system services on Windows.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <mmsystem.h>
#include <ntsecapi.h>  // RtlGenRandom

#include <string>

#include "platform/system.h"

namespace platform {

bool QueryCounterFrequency(double& ticksPerSecond) {
    LARGE_INTEGER f;
    if (!QueryPerformanceFrequency(&f) || f.QuadPart <= 0) return false;
    ticksPerSecond = static_cast<double>(f.QuadPart);
    return true;
}

double QueryCounter() {
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart);
}

double MultimediaTimeMs() { return static_cast<double>(timeGetTime()); }
void BeginTimerPeriod() { timeBeginPeriod(1); }
void EndTimerPeriod() { timeEndPeriod(1); }
void SleepMs(unsigned ms) { Sleep(ms); }

std::string ExecutablePath() {
    char buf[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    // A path that fills the buffer was cut by the call: refused.
    if (n == 0 || n >= MAX_PATH) return std::string();
    return std::string(buf, n);
}

std::string TempDirectory() {
    char buf[MAX_PATH + 1];
    DWORD n = GetTempPathA(MAX_PATH, buf);
    if (n == 0 || n > MAX_PATH) return std::string();
    return std::string(buf, n);
}

// The temporary directory is the user's own on Windows.
std::string ErrorLogDirectory() { return TempDirectory(); }

bool AppendToOwnFile(const char* path, const void* bytes, size_t size) {
    std::FILE* f = std::fopen(path, "ab");
    if (!f) return false;
    bool written = std::fwrite(bytes, 1, size, f) == size;
    return std::fclose(f) == 0 && written;
}

bool ChangeDirectory(const char* path) { return SetCurrentDirectoryA(path) != 0; }
bool DeleteFileAt(const char* path) { return DeleteFileA(path) != 0; }

std::FILE* CreateNewFile(const char* path) {
    // CREATE_NEW fails on any existing name; no other process may open the
    // file while it is written.
    HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        DeleteFileA(path);
        return nullptr;
    }
    std::FILE* f = _fdopen(fd, "wb");
    if (!f) {
        _close(fd);
        DeleteFileA(path);
    }
    return f;
}

bool RandomBytes(void* buffer, size_t size) {
    return RtlGenRandom(buffer, static_cast<ULONG>(size)) != FALSE;
}

void WarningBox(const char* caption, const char* text) {
    MessageBoxA(nullptr, text, caption, MB_ICONWARNING);
}

void Beep() { MessageBeep(MB_ICONEXCLAMATION); }

bool DebuggerAttached() { return IsDebuggerPresent() != 0; }
void DebugOutput(const char* text) { OutputDebugStringA(text); }

bool MachineSerial(uint32_t& serial) {
    DWORD s = 0;
    if (!GetVolumeInformationA("C:\\", nullptr, 0, &s, nullptr, nullptr, nullptr, 0)) return false;
    serial = s;
    return true;
}

const char* PlatformName() { return "WIN32"; }

}  // namespace platform
