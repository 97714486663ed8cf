/* Start-up time of an SDL program up to its first frames, for
 * bench/startup/run.sh: loaded with LD_PRELOAD, it answers SDL's message
 * boxes at once (a user's reading time is not start-up time) and prints,
 * at each of the first two buffer swaps, the milliseconds since the time
 * given in FIRST_FRAME_T0 (CLOCK_MONOTONIC nanoseconds, taken by the
 * launcher just before it started the program). */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

typedef struct SDL_Window SDL_Window;
typedef struct SDL_MessageBoxData SDL_MessageBoxData;

static int swaps;

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
    if (swaps < 2) {
        ++swaps;
        fprintf(stderr, "first-frame swap %d: %.1f ms\n", swaps, SinceStart());
    }
}
