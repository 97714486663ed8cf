// The 3D engine's links to 2D drawing.
// Sprite binding and billboards forward to the sprite table.
// STAND-IN: a minimal local filled rectangle until the 2D primitives land;
// then it forwards to them.
#include "gfx3d/scene_links.h"

#include "platform/gl_entry_points.h"
#include "gfx2d/opengl_zadederu.h"
#include "gfx2d/sprites.h"
#include "platform/gl.h"

void SceneBindSprite(OpenGLZadederu& r, int slot, int secondSlot, int useMip) {
    BindSprite(r, slot, secondSlot, useMip);
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

void SceneDrawBillboardSprite(OpenGLZadederu& r, int slot, float x, float y, float z, float scale) {
    DrawBillboardSprite(r, slot, x, y, z, scale);
}
