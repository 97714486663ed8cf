/* Start-up time of an SDL program up to its first frames, for
 * bench/startup/run.sh: loaded with LD_PRELOAD, it answers SDL's message
 * boxes at once (a user's reading time is not start-up time) and prints,
 * at each of the first three buffer swaps, the milliseconds since the time
 * given in FIRST_FRAME_T0 (CLOCK_MONOTONIC nanoseconds, taken by the
 * launcher just before it started the program), and the process's CPU
 * milliseconds so far (all threads), a reading a busy machine moves less. With FIRST_FRAME_EXIT=N the
 * process ends at once after swap N, so that a whole-process timer can read
 * the same start-up from outside. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

typedef struct SDL_Window SDL_Window;
typedef struct SDL_MessageBoxData SDL_MessageBoxData;

static int swaps;

static double CpuMs(void) {
    struct rusage u;
    getrusage(RUSAGE_SELF, &u);
    return (double)(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (double)(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

static double SinceStart(void) {
    const char* t0 = getenv("FIRST_FRAME_T0");
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    double ns = (double)now.tv_sec * 1e9 + (double)now.tv_nsec;
    return t0 ? (ns - strtod(t0, NULL)) / 1e6 : -1;
}

int SDL_ShowSimpleMessageBox(unsigned flags, const char* title, const char* message, SDL_Window* w) {
    (void)flags; (void)title; (void)message; (void)w;
    return 0;
}

int SDL_ShowMessageBox(const SDL_MessageBoxData* data, int* button) {
    (void)data;
    if (button) *button = 0;
    return 0;
}

void SDL_GL_SwapWindow(SDL_Window* window) {
    static void (*real)(SDL_Window*);
    if (!real) real = (void (*)(SDL_Window*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    real(window);
    if (swaps < 3) {
        ++swaps;
        fprintf(stderr, "first-frame swap %d: %.1f ms, CPU %.1f ms\n", swaps, SinceStart(), CpuMs());
        const char* end = getenv("FIRST_FRAME_EXIT");
        if (end && atoi(end) == swaps) _exit(0);
    }
}
