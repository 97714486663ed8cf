#include "gfx2d/text.h"

#include <brindle/core.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/program_end.h"
#include "core/runtime_state.h"
#include "gfx2d/builtin_font.h"
#include "gfx2d/sprites.h"
#include "lang/portable_maths.h"
#include "media/bmp_texture.h"
#include "media/media_pack.h"
#include "platform/gl.h"

int ClampFont(int font) { return font < 0 ? 0 : font >= kFontCount ? kFontCount - 1 : font; }

namespace {

// Quads of the glyphs of `text`, from the screen point (x, y) rightwards.
void GlyphQuads(const FontGeometry& g, const char* text, float x, float y, float z) {
    float bottom = -(y + g.cellHeight), top = -y;
    glBegin(GL_QUADS);
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
        GlyphCorner corner = GlyphCornerOf(g, *c);
        float right = x + g.cellWidth;
        glTexCoord2f(corner.s, corner.t);
        glVertex3f(x, bottom, z);
        glTexCoord2f(corner.s + g.cellS, corner.t);
        glVertex3f(right, bottom, z);
        glTexCoord2f(corner.s + g.cellS, corner.t + g.cellT);
        glVertex3f(right, top, z);
        glTexCoord2f(corner.s, corner.t + g.cellT);
        glVertex3f(x, top, z);
        x = right;
    }
    glEnd();
}

// The strip of DrawText3D: each glyph spans `right` and `up` from its start.
void GlyphStrip(const FontGeometry& g, const char* text, const float start[3],
                const float right[3], const float up[3]) {
    float p[3] = {start[0], start[1], start[2]};
    glBegin(GL_QUADS);
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
        GlyphCorner corner = GlyphCornerOf(g, *c);
        glTexCoord2f(corner.s, corner.t);
        glVertex3f(p[0], p[1], p[2]);
        glTexCoord2f(corner.s + g.cellS, corner.t);
        glVertex3f(p[0] + right[0], p[1] + right[1], p[2] + right[2]);
        glTexCoord2f(corner.s + g.cellS, corner.t + g.cellT);
        glVertex3f(p[0] + right[0] + up[0], p[1] + right[1] + up[1], p[2] + right[2] + up[2]);
        glTexCoord2f(corner.s, corner.t + g.cellT);
        glVertex3f(p[0] + up[0], p[1] + up[1], p[2] + up[2]);
        for (int i = 0; i < 3; ++i) p[i] += right[i];
    }
    glEnd();
}

// out = m * v for a column-major 4 x 4 matrix.
void Transform(const double m[16], const double v[4], double out[4]) {
    for (int i = 0; i < 4; ++i) out[i] = m[i] * v[0] + m[4 + i] * v[1] + m[8 + i] * v[2] + m[12 + i] * v[3];
}
}  // namespace

FontGeometry FontGeometryOfSlot(const OpenGLZadederu& r, int font) {
    int slot = kFirstFontSlot + ClampFont(font);
    return FontGeometryOf(r.imageWidth[slot], r.imageHeight[slot], r.textureWidth[slot],
                          r.textureHeight[slot]);
}

void BuildBuiltinFont(OpenGLZadederu& r, int slot) {
    std::vector<uint8_t> pixels(builtinFontTextureWidth * builtinFontTextureHeight * 4);
    BuildBuiltinFontPixels(pixels.data());
    glGenTextures(1, &r.spriteTexture[slot][0]);
    r.glState.BindTexture(0, r.spriteTexture[slot][0]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, builtinFontTextureWidth, builtinFontTextureHeight, 0,
                 GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    r.textureWidth[slot] = builtinFontTextureWidth;
    r.textureHeight[slot] = builtinFontTextureHeight;
    r.imageWidth[slot] = builtinFontImageWidth;
    r.imageHeight[slot] = builtinFontImageHeight;
    r.opacity[slot] = kOpacityUnknown;
}

void LoadFontFile(const RtString& fileName, int font) {
    OpenGLZadederu& r = runtime.renderer;
    runtime.currentFont = ClampFont(font);
    int slot = kFirstFontSlot + runtime.currentFont;
    RtString resolved;
    resolved.Reserve(512);
    if (ResolveMediaFile(runtime.mediaPack, fileName, resolved)) {
        if (!LoadSpriteImage(r, slot, resolved.Text(), 0, false)) {
            RecordError(3);
            EndProgram();
        }
        return;
    }
    DeleteSprite(r, slot);
    BuildBuiltinFont(r, slot);
}

void DrawText(OpenGLZadederu& r, int font, const char* text, float x, float y, float z) {
    font = ClampFont(font);
    int slot = kFirstFontSlot + font;
    BindSprite(r, slot, -1, 0);
    // A font image that could not be decoded has no texture: no glyphs
    // rather than blank boxes.
    if (r.spriteTexture[slot][0] == 0) return;
    r.glState.TextureInCurrentColour();
    r.glState.BeforeDraw();
    GlyphQuads(FontGeometryOfSlot(r, font), text, maths::ceil(x), maths::ceil(y), z);
}

void DrawText3D(OpenGLZadederu& r, int font, const char* text, float x, float y, float z,
                float size) {
    font = ClampFont(font);
    FontGeometry g = FontGeometryOfSlot(r, font);
    float length = static_cast<float>(std::strlen(text));
    bool culling = glIsEnabled(GL_CULL_FACE);
    if (culling) glDisable(GL_CULL_FACE);
    if (size != 0) {
        float m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        float step = size * g.cellWidth;
        const float right[3] = {m[0] * step, m[4] * step, m[8] * step};
        const float up[3] = {m[1] * step, m[5] * step, m[9] * step};
        const float start[3] = {x - length / 2 * right[0], y - length / 2 * right[1],
                                z - length / 2 * right[2]};
        BindSprite(r, kFirstFontSlot + font, -1, 0);
        if (r.spriteTexture[kFirstFontSlot + font][0] != 0) {
            r.glState.TextureInCurrentColour();
            r.glState.BeforeDraw();
            GlyphStrip(g, text, start, right, up);
        }
    } else {
        double modelView[16], projection[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        const double point[4] = {x, y, z, 1};
        double eye[4], clip[4];
        Transform(modelView, point, eye);
        Transform(projection, eye, clip);
        if (clip[3] != 0) {
            double nx = clip[0] / clip[3], ny = clip[1] / clip[3], nz = clip[2] / clip[3];
            double sx = (nx + 1) * viewport[2] / 2 - length * g.cellWidth / 2;
            double sy = viewport[3] * (1 - ny) / 2 - g.cellHeight;
            glMatrixMode(GL_PROJECTION);
            glPushMatrix();
            glLoadIdentity();
            glOrtho(0, r.viewportWidth, -r.viewportHeight, 0, -1, 1);
            glMatrixMode(GL_MODELVIEW);
            glPushMatrix();
            glLoadIdentity();
            DrawText(r, font, text, static_cast<float>(sx), static_cast<float>(sy),
                     static_cast<float>(-nz));
            glMatrixMode(GL_PROJECTION);
            glPopMatrix();
            glMatrixMode(GL_MODELVIEW);
            glPopMatrix();
        }
    }
    if (culling) glEnable(GL_CULL_FACE);
}

void DrawLoadingText() {
    OpenGLZadederu& r = runtime.renderer;
    FontGeometry g = FontGeometryOfSlot(r, runtime.currentFont);
    const char* text = "Loading...";
    float length = static_cast<float>(std::strlen(text));
    DrawText(r, runtime.currentFont, text, (runtime.windowWidth - length * g.cellWidth) * 0.5f,
             (runtime.windowHeight - g.cellHeight) * 0.5f, 0);
}
