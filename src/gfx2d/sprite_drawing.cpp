// Drawing sprites: plain, stretched, rotated, rotated and zoomed, and as
// billboards in the 3D scene. Quads are triangle fans bottom-left,
// bottom-right, top-right, top-left: counter-clockwise in GL's frame, so
// they survive face culling unless a negative size mirrors them.
#include "gfx2d/sprites.h"
#include "lang/portable_maths.h"
#include "platform/gl.h"

namespace {
// The whole image's extent in texture coordinates; false for a slot without
// a texture (empty, or an image that could not be decoded), which draws
// nothing rather than a blank quad.
bool WholeSprite(const OpenGLZadederu& r, int slot, float& s, float& t) {
    if (r.textureWidth[slot] <= 0 || r.textureHeight[slot] <= 0) return false;
    if (r.spriteTexture[slot][0] == 0) return false;
    s = static_cast<float>(r.imageWidth[slot]) / r.textureWidth[slot];
    t = static_cast<float>(r.imageHeight[slot]) / r.textureHeight[slot];
    return true;
}

// A quad between the screen points (x0, y0) (top-left) and (x1, y1)
// (bottom-right); screen y grows downwards, GL y is its negation.
void ScreenQuad(float x0, float y0, float x1, float y1, float s, float t) {
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2f(0, 0);
    glVertex2f(x0, -y1);
    glTexCoord2f(s, 0);
    glVertex2f(x1, -y1);
    glTexCoord2f(s, t);
    glVertex2f(x1, -y0);
    glTexCoord2f(0, t);
    glVertex2f(x0, -y0);
    glEnd();
}

// A quad centred on the origin in GL's frame, half sizes hw and hh.
void CentredQuad(float hw, float hh, float s, float t) {
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2f(0, 0);
    glVertex2f(-hw, -hh);
    glTexCoord2f(s, 0);
    glVertex2f(hw, -hh);
    glTexCoord2f(s, t);
    glVertex2f(hw, hh);
    glTexCoord2f(0, t);
    glVertex2f(-hw, hh);
    glEnd();
}

// Rotation about the centre of the unscaled image (integer halves).
void RotatedQuad(const OpenGLZadederu& r, int slot, float x, float y, float angle, float hw,
                 float hh, float s, float t) {
    glPushMatrix();
    glTranslatef(x + (r.imageWidth[slot] >> 1), -(y + (r.imageHeight[slot] >> 1)), 0);
    glRotatef(angle, 0, 0, 1);
    CentredQuad(hw, hh, s, t);
    glPopMatrix();
}
}  // namespace

void DrawSpriteImage(OpenGLZadederu& r, int slot, float x, float y) {
    x = maths::ceil(x);
    y = maths::ceil(y);
    BindSprite(r, slot, -1, 0);
    float s, t;
    if (!WholeSprite(r, slot, s, t)) return;
    r.glState.TextureInCurrentColour();
    ScreenQuad(x, y, x + r.imageWidth[slot], y + r.imageHeight[slot], s, t);
}

void StretchSprite(OpenGLZadederu& r, int slot, float x, float y, float width, float height) {
    x = maths::ceil(x);
    y = maths::ceil(y);
    width = maths::ceil(width);
    height = maths::ceil(height);
    BindSprite(r, slot, -1, 0);
    float s, t;
    if (!WholeSprite(r, slot, s, t)) return;
    r.glState.TextureInCurrentColour();
    // No matrix push and pop around the quad: they would change nothing
    // but end the batch of quads (and could overflow a full stack).
    ScreenQuad(x, y, x + width, y + height, s, t);
}

void RotateSprite(OpenGLZadederu& r, int slot, float x, float y, float angle) {
    BindSprite(r, slot, -1, 0);
    float s, t;
    if (!WholeSprite(r, slot, s, t)) return;
    r.glState.TextureInCurrentColour();
    RotatedQuad(r, slot, x, y, angle, r.imageWidth[slot] / 2.0f, r.imageHeight[slot] / 2.0f, s, t);
}

void RotoZoomSprite(OpenGLZadederu& r, int slot, float x, float y, const RotoZoomOptions& o) {
    float level = r.alphaLevel;
    if (o.colour == 0) {
        // 255 x level: clamped to 1 by GL, so the sprite keeps full colour.
        r.glState.Colour(255 * level, 255 * level, 255 * level, level);
    } else {
        r.glState.Colour((o.colour & 0xFF) / 255.0f * level, ((o.colour >> 8) & 0xFF) / 255.0f * level,
                         ((o.colour >> 16) & 0xFF) / 255.0f * level, level);
    }
    float hw = (o.width > 0 ? o.width : r.imageWidth[slot]) / 2.0f;
    float hh = (o.height > 0 ? o.height : r.imageHeight[slot]) / 2.0f;
    BindSprite(r, slot, -1, 0);
    float s, t;
    if (WholeSprite(r, slot, s, t)) {
        r.glState.TextureInCurrentColour();
        RotatedQuad(r, slot, x, y, o.angle, hw, hh, s, t);
    }
    r.glState.Colour(level, level, level, level);
}

void DrawBillboardSprite(OpenGLZadederu& r, int slot, float x, float y, float z, float scale) {
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const float right[3] = {m[0], m[4], m[8]};
    const float up[3] = {m[1], m[5], m[9]};
    float a = scale * static_cast<float>(r.imageWidth[slot] / 4);
    float b = scale * static_cast<float>(r.imageHeight[slot] / 2);
    int previousSlot = r.boundSlot, previousSecond = r.boundSecondSlot, previousMip = r.boundUseMip;
    BindSprite(r, slot, -1, 0);
    float s, t;
    if (WholeSprite(r, slot, s, t)) {
        r.glState.TextureInCurrentColour();
        const float p[3] = {x, y, z};
        float corner[4][3];
        for (int i = 0; i < 3; ++i) {
            corner[0][i] = p[i] - a * right[i];
            corner[1][i] = p[i] + a * right[i];
            corner[2][i] = p[i] + a * right[i] + b * up[i];
            corner[3][i] = p[i] - a * right[i] + b * up[i];
        }
        glBegin(GL_TRIANGLE_FAN);
        glTexCoord2f(0, 0);
        glVertex3fv(corner[0]);
        glTexCoord2f(s, 0);
        glVertex3fv(corner[1]);
        glTexCoord2f(s, t);
        glVertex3fv(corner[2]);
        glTexCoord2f(0, t);
        glVertex3fv(corner[3]);
        glEnd();
    }
    BindSprite(r, previousSlot, previousSecond, previousMip);
}
