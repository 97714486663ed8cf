// The floor of the sprite frame-rate run on Linux: a plain SDL2 + OpenGL
// program drawing the same sprites (plain_sprites.h), no runtime. Arguments:
// "per-quad" or "array" (how the quads are sent) and the sprite count.
#include <string>

#include <SDL.h>

#include "plain_sprites.h"

int main(int argc, char** argv) {
    std::string words;
    for (int i = 1; i < argc; ++i) words += std::string(" ") + argv[i];
    const plain_sprites::Mode mode = plain_sprites::ModeOf(words.c_str());
    const int sprites = sprite_scene::SpriteCount(words.c_str());
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window =
        SDL_CreateWindow("Plain sprites", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         sprite_scene::kWidth, sprite_scene::kHeight, SDL_WINDOW_OPENGL);
    if (!window || !SDL_GL_CreateContext(window)) return 1;
    SDL_GL_SetSwapInterval(0);
    plain_sprites::SetUp(mode);
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            if (event.type == SDL_QUIT) return 0;
        plain_sprites::DrawFrame(mode, sprites);
        SDL_GL_SwapWindow(window);
    }
}
