// The polygon batch as seen by the drawing code: vertices take their
// texture coordinates from the batch's slot, DrawPolygonBatch draws one fan.
#include "gfx2d/polygon_batch.h"
#include "gfx2d/sprites.h"
#include "platform/gl.h"

void AddPolygonVertex(OpenGLZadederu& r, int x, int y, float u, float v, int colour) {
    PolygonBatch& batch = r.polygonBatch;
    SlotSize size;
    const SlotSize* texture = nullptr;
    if (batch.slot >= 0 && batch.slot < kSpriteSlots) {
        size = {r.textureWidth[batch.slot], r.textureHeight[batch.slot], r.imageHeight[batch.slot]};
        texture = &size;
    }
    batch.Append(MakePolygonVertex(x, y, u, v, colour, r.alphaLevel, texture));
}

void DrawPolygonBatch(OpenGLZadederu& r) {
    const PolygonBatch& batch = r.polygonBatch;
    bool textured = batch.slot >= 0;
    BindSprite(r, batch.slot, -1, 0);
    r.glState.TextureModulated();  // the vertices bring their own colours
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_DITHER);
    glShadeModel(GL_SMOOTH);
    if (batch.count > 0) {
        const PolygonVertexData* v = batch.vertices;
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(2, GL_FLOAT, sizeof *v, &v->x);
        if (textured) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, sizeof *v, &v->s);
        }
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_FLOAT, sizeof *v, &v->red);
        r.glState.BeforeDraw();
        glDrawArrays(GL_TRIANGLE_FAN, 0, batch.count);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        r.glState.ForgetColour();  // left undefined by the colour array
    }
    glShadeModel(GL_FLAT);
    r.glState.Texturing(0, true);
    float level = r.alphaLevel;
    r.glState.Colour(level, level, level, level);
    glDisable(GL_DITHER);
    glDisable(GL_COLOR_MATERIAL);
}
