// Process, clock and file-system services on Linux.
#include <SDL.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/sdl/sdl_backend.h"
#include "platform/system.h"

namespace platform {

namespace sdl {
bool EnsureVideo() {
    static bool ready = false;
    if (!ready) {
        // Keep the screen saver state ours to decide.
        SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
        // The X display only (the backend talks to X for the keyboard layout
        // and child windows): without one SDL would fall back to an offscreen
        // driver and the game would run with no window anybody can see. The
        // SDL_VIDEODRIVER variable still chooses, for those who set it.
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "x11", SDL_HINT_DEFAULT);
        ready = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) == 0;
    }
    return ready;
}
}  // namespace sdl

bool QueryCounterFrequency(double& ticksPerSecond) {
    ticksPerSecond = static_cast<double>(SDL_GetPerformanceFrequency());
    return ticksPerSecond > 0;
}

double QueryCounter() { return static_cast<double>(SDL_GetPerformanceCounter()); }

double MultimediaTimeMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(static_cast<unsigned>(ts.tv_sec * 1000 + ts.tv_nsec / 1000000));
}

// Linux sleeps are precise to well below a millisecond already.
void BeginTimerPeriod() {}
void EndTimerPeriod() {}

void SleepMs(unsigned ms) { SDL_Delay(ms); }

std::string ExecutablePath() {
    char buf[kPathBufferSize];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf);
    // A link that fills the buffer may have been cut: refused.
    if (n <= 0 || n >= static_cast<ssize_t>(sizeof buf)) return std::string();
    return std::string(buf, static_cast<size_t>(n));
}

std::string TempDirectory() {
    const char* dir = std::getenv("TMPDIR");
    std::string path = (dir && *dir) ? dir : "/tmp";
    if (path.back() != '/') path += '/';
    if (path.size() >= static_cast<size_t>(kPathBufferSize)) return std::string();
    return path;
}

std::string ErrorLogDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    if (tmp && *tmp) return TempDirectory();
    const char* run = std::getenv("XDG_RUNTIME_DIR");
    struct stat st;
    if (run && run[0] == '/' && stat(run, &st) == 0 && S_ISDIR(st.st_mode) &&
        st.st_uid == geteuid() && (st.st_mode & 077) == 0) {
        std::string path = run;
        if (path.back() != '/') path += '/';
        if (path.size() < static_cast<size_t>(kPathBufferSize)) return path;
    }
    return TempDirectory();
}

bool AppendToOwnFile(const char* path, const void* bytes, size_t size) {
    // O_NONBLOCK: opening a FIFO must not wait for a reader (it is refused
    // below); regular files ignore the flag.
    int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                  0600);
    if (fd < 0) return false;
    // What was opened is checked, not the name: nothing can be swapped in
    // between. A second name (a hard link) could be some file of this user
    // elsewhere, planted here under the log's name.
    struct stat st;
    bool written = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() &&
                   st.st_nlink == 1;
    const char* p = static_cast<const char*>(bytes);
    while (written && size > 0) {
        ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) written = false;
        else p += n, size -= static_cast<size_t>(n);
    }
    return close(fd) == 0 && written;
}

bool ChangeDirectory(const char* path) { return chdir(path) == 0; }

bool DeleteFileAt(const char* path) { return std::remove(path) == 0; }

std::FILE* CreateNewFile(const char* path) {
    // O_EXCL with O_CREAT fails on any existing name, a link included.
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return nullptr;
    std::FILE* f = fdopen(fd, "wb");
    if (!f) {
        close(fd);
        std::remove(path);
    }
    return f;
}

bool RandomBytes(void* buffer, size_t size) {
    auto* out = static_cast<unsigned char*>(buffer);
    while (size > 0) {
        ssize_t n = getrandom(out, size, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        out += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

namespace {
// The runtime's texts are 8-bit Latin-1 (as the Windows ANSI calls take
// them); SDL expects UTF-8.
std::string Latin1ToUtf8(const char* text) {
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (*p < 0x80) {
            out += static_cast<char>(*p);
        } else {
            out += static_cast<char>(0xC0 | (*p >> 6));
            out += static_cast<char>(0x80 | (*p & 0x3F));
        }
    }
    return out;
}
}  // namespace

void WarningBox(const char* caption, const char* text) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, Latin1ToUtf8(caption).c_str(),
                             Latin1ToUtf8(text).c_str(), nullptr);
    // When a box closes, Windows gives the activation back to the window that
    // had it; X without a window manager leaves the focus nowhere.
    if (SDL_Window* w = sdl::MainWindow()) {
        SDL_RaiseWindow(w);
        SDL_SetWindowInputFocus(w);
    }
}

void Beep() {
    std::fputc('\a', stderr);
    std::fflush(stderr);
}

bool DebuggerAttached() {
    // A traced process has a non-zero TracerPid.
    std::FILE* f = std::fopen("/proc/self/status", "rb");
    if (!f) return false;
    char line[256];
    bool attached = false;
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, "TracerPid:", 10) == 0) {
            attached = std::atoi(line + 10) != 0;
            break;
        }
    }
    std::fclose(f);
    return attached;
}

void DebugOutput(const char* text) {
    std::fputs(text, stderr);
    std::fflush(stderr);
}

bool MachineSerial(uint32_t& serial) {
    std::FILE* f = std::fopen("/etc/machine-id", "rb");
    if (!f) return false;
    char id[64] = {};
    size_t n = std::fread(id, 1, sizeof id - 1, f);
    std::fclose(f);
    // FNV-1a over the identifier's hexadecimal text.
    uint32_t h = 2166136261u;
    size_t used = 0;
    for (size_t i = 0; i < n; ++i) {
        if (id[i] == '\n' || id[i] == '\r') break;
        h = (h ^ static_cast<unsigned char>(id[i])) * 16777619u;
        ++used;
    }
    if (used == 0) return false;
    serial = h;
    return true;
}

const char* PlatformName() { return "LINUX"; }

}  // namespace platform
