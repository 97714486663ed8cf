// The 3D engine's links to 2D drawing.
// STAND-IN: minimal local versions until sprite binding, billboards and the
// filled rectangle land from the 2D branches; then these forward to them.
#include "gfx3d/scene_links.h"

#include "gfx2d/gl_entry_points.h"
#include "gfx2d/opengl_zadederu.h"
#include "platform/gl.h"

void SceneBindSprite(OpenGLZadederu& r, int slot, int secondSlot, int useMip) {
    r.boundSlot = slot;
    r.boundSecondSlot = secondSlot;
    r.boundUseMip = useMip ? 1 : 0;
    int mip = r.boundUseMip;
    if (!glMultiTexCoord2fARB) {
        if (slot < 0) {
            glDisable(GL_TEXTURE_2D);
            glEnable(GL_COLOR_MATERIAL);
        } else {
            glBindTexture(GL_TEXTURE_2D, r.spriteTexture[slot][mip]);
            glEnable(GL_TEXTURE_2D);
        }
        return;
    }
    glActiveTextureARB(GL_TEXTURE1_ARB);
    if (slot >= 0 && secondSlot >= 0) {
        glBindTexture(GL_TEXTURE_2D, r.spriteTexture[slot][mip]);
        glEnable(GL_TEXTURE_2D);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    glActiveTextureARB(GL_TEXTURE0_ARB);
    if (slot < 0) {
        glDisable(GL_TEXTURE_2D);
        return;
    }
    glBindTexture(GL_TEXTURE_2D, r.spriteTexture[secondSlot >= 0 ? secondSlot : slot][mip]);
    glEnable(GL_TEXTURE_2D);
}

void SceneFillRect(OpenGLZadederu& r, float x1, float y1, float x2, float y2, int colour) {
    glDisable(GL_ALPHA_TEST);
    float a = r.alphaLevel;
    glColor4ub(static_cast<GLubyte>(a * (colour & 0xFF)), static_cast<GLubyte>(a * ((colour >> 8) & 0xFF)),
               static_cast<GLubyte>(a * ((colour >> 16) & 0xFF)),
               colour == 0x8000FF ? 0 : static_cast<GLubyte>(a * 255));
    int slot = r.boundSlot, second = r.boundSecondSlot, mip = r.boundUseMip;
    SceneBindSprite(r, -1, -1, 0);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glTranslatef(0.375f, 0.375f, 0);
    glMatrixMode(GL_MODELVIEW);
    x2 += 1;
    y2 += 1;
    glBegin(GL_QUADS);
    glVertex2f(x1, -y2);
    glVertex2f(x2, -y2);
    glVertex2f(x2, -y1);
    glVertex2f(x1, -y1);
    glEnd();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glColor4f(a, a, a, a);
    SceneBindSprite(r, slot, second, mip);
    glEnable(GL_ALPHA_TEST);
}

void SceneDrawBillboardSprite(OpenGLZadederu&, int, float, float, float, float) {}
