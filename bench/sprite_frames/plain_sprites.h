// The drawing of the plain sprite programs (the floor of the sprite
// frame-rate run), shared by the SDL2 and the Win32 form: only what the
// picture needs, set once (texture bound once, replace mode, alpha test and
// linear filtering as the runtime's sprites have them), and each frame one
// glBegin/glEnd holding every quad, or one vertex array holding them.
#pragma once
#ifdef _WIN32
#include <windows.h>  // the Windows GL header needs its calling-convention macros
#endif
#include <GL/gl.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "sprite_scene.h"

namespace plain_sprites {

// How a frame sends its quads: all in one glBegin/glEnd; each in one of its
// own, as the runtime drew a sprite (a diagnosis: what the extra calls
// cost, under Wine above all); or all in one vertex array (positions and
// texture coordinates, filled afresh each frame as a renderer batching its
// sprites would) drawn with one call.
enum class Mode { kOneBatch, kPerQuad, kArray };

inline Mode ModeOf(const char* words) {
    if (words && std::strstr(words, "per-quad")) return Mode::kPerQuad;
    if (words && std::strstr(words, "array")) return Mode::kArray;
    return Mode::kOneBatch;
}

inline void SetUp(Mode mode) {
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
    if (mode == Mode::kArray) {
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    }
}

inline void DrawFrame(Mode mode, int sprites) {
    using namespace sprite_scene;
    glClear(GL_COLOR_BUFFER_BIT);
    if (mode == Mode::kArray) {
        static std::vector<float> xy, st;
        xy.resize(8 * static_cast<size_t>(sprites));
        st.resize(8 * static_cast<size_t>(sprites));
        float* v = xy.data();
        float* t = st.data();
        for (int i = 0; i < sprites; ++i, v += 8, t += 8) {
            float x = static_cast<float>(SpriteX(i)), y = static_cast<float>(SpriteY(i));
            const float corners[8] = {x, y + kSize, x + kSize, y + kSize, x + kSize, y, x, y};
            const float texels[8] = {0, 0, 1, 0, 1, 1, 0, 1};
            std::memcpy(v, corners, sizeof corners);
            std::memcpy(t, texels, sizeof texels);
        }
        glVertexPointer(2, GL_FLOAT, 0, xy.data());
        glTexCoordPointer(2, GL_FLOAT, 0, st.data());
        glDrawArrays(GL_QUADS, 0, 4 * sprites);
        return;
    }
    const bool perQuad = mode == Mode::kPerQuad;
    if (!perQuad) glBegin(GL_QUADS);
    for (int i = 0; i < sprites; ++i) {
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
