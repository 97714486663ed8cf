/* The floor of the start-up run: the plainest SDL2 + OpenGL program that
 * shows a frame, a 640 x 480 window cleared to black and swapped, then
 * frames like it until it is ended. What it spends before its first frame
 * (loading SDL, the GL library and Mesa, opening the X display, choosing a
 * visual, making the context) every such program spends. */
#include <SDL.h>
#include <SDL_opengl.h>

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window = SDL_CreateWindow("Plain window", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          640, 480, SDL_WINDOW_OPENGL);
    if (!window || !SDL_GL_CreateContext(window)) return 1;
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            if (event.type == SDL_QUIT) return 0;
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapWindow(window);
        SDL_Delay(16);
    }
}
