// The floor of the sprite frame-rate run on Linux: a plain SDL2 + OpenGL
// program drawing the same sprites (plain_sprites.h), no runtime. With the
// argument "per-quad" each quad is a primitive of its own.
#include <cstring>

#include <SDL.h>

#include "plain_sprites.h"

int main(int argc, char** argv) {
    const bool perQuad = argc > 1 && std::strcmp(argv[1], "per-quad") == 0;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window =
        SDL_CreateWindow("Plain sprites", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         sprite_scene::kWidth, sprite_scene::kHeight, SDL_WINDOW_OPENGL);
    if (!window || !SDL_GL_CreateContext(window)) return 1;
    SDL_GL_SetSwapInterval(0);
    plain_sprites::SetUp();
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            if (event.type == SDL_QUIT) return 0;
        plain_sprites::DrawFrame(perQuad);
        SDL_GL_SwapWindow(window);
    }
}
