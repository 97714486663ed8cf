// Drawing sprites: plain, stretched, rotated, rotated and zoomed, and as
// billboards in the 3D scene. Quads go bottom-left, bottom-right,
// top-right, top-left (GL quads when unturned, triangle fans otherwise):
// counter-clockwise in GL's frame, so they survive face culling unless a
// negative size mirrors them.
#include "gfx2d/sprites.h"
#include "lang/portable_maths.h"
#include "media/bmp_texture.h"
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

// The least alpha of the slot's plain texture where a quad showing the
// whole image samples it. Inside the image every texel is opaque; linear
// filtering at a fragment inside the quad weighs the transparent texels
// beyond the image's edge by less than a half in each direction, so at
// least a quarter remains.
float LeastImageAlpha(const OpenGLZadederu& r, int slot) {
    switch (r.opacity[slot]) {
    case kOpaqueTexture: return 1;
    case kOpaqueImage: return 0.25f;
    default: return 0;
    }
}

bool Near(float value, float expected) {
    float d = value - expected;
    return d <= 1e-5f && d >= -1e-5f;
}

// Whether a screen quad from (x0, y0) to (x1, y1) reaches every pixel of
// the window: asked only while the frame's colour clear is pending, since
// it reads GL's matrices. The 2D view must be the whole window's, with no
// transformation left on it, and the quad's face must not be culled.
bool CoversWindow(const OpenGLZadederu& r, float x0, float y0, float x1, float y1) {
    if (!r.glState.ClearPending()) return false;
    const int w = r.screenWidth, h = r.screenHeight;
    if (r.viewportX != 0 || r.viewportY != 0 || r.viewportWidth != w || r.viewportHeight != h ||
        w <= 0 || h <= 0 || !(x0 <= 0 && y0 <= 0 && x1 >= w && y1 >= h))
        return false;
    float model[16], projection[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, model);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    // glOrtho(0, w, -h, 0, -1, 1) and the identity.
    const float view[16] = {2.0f / w, 0, 0, 0, 0, 2.0f / h, 0, 0, 0, 0, -1, 0, -1, 1, 0, 1};
    for (int i = 0; i < 16; ++i)
        if (!Near(model[i], i % 5 == 0 ? 1.0f : 0.0f) || !Near(projection[i], view[i])) return false;
    GLint front = 0, culled = 0;
    glGetIntegerv(GL_FRONT_FACE, &front);
    glGetIntegerv(GL_CULL_FACE_MODE, &culled);
    return !glIsEnabled(GL_CULL_FACE) || (front == GL_CCW && culled == GL_BACK);
}

// A quad between the screen points (x0, y0) (top-left) and (x1, y1)
// (bottom-right); screen y grows downwards, GL y is its negation. Drawn as
// GL_QUADS: on an axis-aligned rectangle the same pixels as a fan, and
// Mesa's i386 build sets up runs of quads faster than runs of fans.
void ScreenQuad(float x0, float y0, float x1, float y1, float s, float t) {
    glBegin(GL_QUADS);
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
    const float x1 = x + r.imageWidth[slot], y1 = y + r.imageHeight[slot];
    r.glState.BeforeImageDraw(LeastImageAlpha(r, slot), CoversWindow(r, x, y, x1, y1));
    ScreenQuad(x, y, x1, y1, s, t);
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
    r.glState.BeforeImageDraw(LeastImageAlpha(r, slot), CoversWindow(r, x, y, x + width, y + height));
    // No matrix push and pop around the quad: they would change nothing
    // but end the batch of quads (and could overflow a full stack).
    ScreenQuad(x, y, x + width, y + height, s, t);
}

void RotateSprite(OpenGLZadederu& r, int slot, float x, float y, float angle) {
    BindSprite(r, slot, -1, 0);
    float s, t;
    if (!WholeSprite(r, slot, s, t)) return;
    r.glState.TextureInCurrentColour();
    r.glState.BeforeImageDraw(LeastImageAlpha(r, slot), false);
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
        r.glState.BeforeImageDraw(LeastImageAlpha(r, slot), false);
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
        r.glState.BeforeDraw();
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
