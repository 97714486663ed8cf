// The polygon batch as seen by the drawing code: vertices take their
// texture coordinates from the batch's slot, EndPolygon draws one fan.
#include "gfx2d/polygon_batch.h"
#include "gfx2d/sprites.h"
#include "platform/gl.h"

void StartPolygon(int slot) { ResetPolygonBatch(slot); }

void PolygonVertex(OpenGLZadederu& r, int x, int y, float u, float v, int colour) {
    SlotSize size;
    const SlotSize* texture = nullptr;
    if (polygonSlot >= 0 && polygonSlot < kSpriteSlots) {
        size = {r.textureWidth[polygonSlot], r.textureHeight[polygonSlot], r.imageHeight[polygonSlot]};
        texture = &size;
    }
    AppendPolygonVertex(MakePolygonVertex(x, y, u, v, colour, r.alphaLevel, texture));
}

void EndPolygon(OpenGLZadederu& r) {
    bool textured = polygonSlot >= 0;
    BindSprite(r, polygonSlot, -1, 0);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_DITHER);
    glShadeModel(GL_SMOOTH);
    if (polygonCount > 0) {
        const PolygonVertexData* v = polygonVertices;
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(2, GL_FLOAT, sizeof *v, &v->x);
        if (textured) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, sizeof *v, &v->s);
        }
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_FLOAT, sizeof *v, &v->red);
        glDrawArrays(GL_TRIANGLE_FAN, 0, polygonCount);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
    }
    glShadeModel(GL_FLAT);
    glEnable(GL_TEXTURE_2D);
    float level = r.alphaLevel;
    glColor4f(level, level, level, level);
    glDisable(GL_DITHER);
    glDisable(GL_COLOR_MATERIAL);
}
