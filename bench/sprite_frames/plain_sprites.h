// The drawing of the plain sprite programs (the floor of the sprite
// frame-rate run), shared by the SDL2 and the Win32 form: only what the
// picture needs, set once (texture bound once, replace mode, alpha test and
// linear filtering as the runtime's sprites have them), and each frame one
// glBegin/glEnd holding every quad.
#pragma once
#ifdef _WIN32
#include <windows.h>  // the Windows GL header needs its calling-convention macros
#endif
#include <GL/gl.h>

#include <cstdint>

#include "sprite_scene.h"

namespace plain_sprites {

inline void SetUp() {
    using namespace sprite_scene;
    static uint8_t rgba[kSize * kSize * 4];
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            uint8_t* p = rgba + 4 * (y * kSize + x);
            bool opaque = ImagePixel(x, y, p[0], p[1], p[2]);
            p[3] = opaque ? 255 : 0;
            if (!opaque) p[0] = p[1] = p[2] = 0;
        }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kSize, kSize, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.15f);
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kWidth, kHeight, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
}

// perQuad: each quad in a glBegin/glEnd of its own, as the runtime draws a
// sprite (a diagnosis: what the extra calls cost, under Wine above all).
inline void DrawFrame(bool perQuad) {
    using namespace sprite_scene;
    glClear(GL_COLOR_BUFFER_BIT);
    if (!perQuad) glBegin(GL_QUADS);
    for (int i = 0; i < kSprites; ++i) {
        float x = static_cast<float>(SpriteX(i)), y = static_cast<float>(SpriteY(i));
        if (perQuad) glBegin(GL_TRIANGLE_FAN);
        glTexCoord2f(0, 0);
        glVertex2f(x, y + kSize);
        glTexCoord2f(1, 0);
        glVertex2f(x + kSize, y + kSize);
        glTexCoord2f(1, 1);
        glVertex2f(x + kSize, y);
        glTexCoord2f(0, 1);
        glVertex2f(x, y);
        if (perQuad) glEnd();
    }
    if (!perQuad) glEnd();
}

}  // namespace plain_sprites
