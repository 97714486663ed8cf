// The primitives share one frame: alpha test off, the colour scaled by the
// alpha level, texturing off, and the projection moved by 3/8 pixel so that
// integer coordinates hit pixel centres. Screen row y is GL y -(y + 1), so a
// point lands inside row y.
#include "gfx2d/primitives.h"

#include "gfx2d/backgrounds.h"
#include "gfx2d/sprites.h"
#include "platform/gl.h"

namespace {

GLubyte Scaled(float level, int channel) {
    float v = level * static_cast<float>(channel);
    // alphaLevel stays within 0 ... 1; anything else must not overflow a byte.
    if (!(v > 0)) return 0;
    return v >= 255 ? 255 : static_cast<GLubyte>(static_cast<int>(v));
}

class PrimitiveFrame {
public:
    PrimitiveFrame(OpenGLZadederu& r, int colour)
        : r_(r), slot_(r.boundSlot), second_(r.boundSecondSlot), mip_(r.boundUseMip) {
        r.glState.AlphaTest(false);
        const float level = r.alphaLevel;
        glColor4ub(Scaled(level, colour & 0xFF), Scaled(level, (colour >> 8) & 0xFF),
                   Scaled(level, (colour >> 16) & 0xFF),
                   colour == kSpriteKeyColour ? 0 : Scaled(level, 255));
        r.glState.ForgetColour();  // set in bytes, beside the record
        BindSprite(r, -1, -1, 0);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        // The classic 3/8-pixel shift: a vertex on an integer coordinate
        // moves inside its pixel, so lines and rectangles cover exactly the
        // pixels they name whatever way the rasteriser rounds at edges.
        glTranslatef(0.375f, 0.375f, 0);
        glMatrixMode(GL_MODELVIEW);
        r.glState.BeforeDraw();
    }
    ~PrimitiveFrame() {
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        const float level = r_.alphaLevel;
        r_.glState.Colour(level, level, level, level);
        BindSprite(r_, slot_, second_, mip_);
        r_.glState.AlphaTest(true);
    }
    PrimitiveFrame(const PrimitiveFrame&) = delete;
    PrimitiveFrame& operator=(const PrimitiveFrame&) = delete;

private:
    OpenGLZadederu& r_;
    int slot_, second_, mip_;
};

}  // namespace

void ApplyAlphaMode(OpenGLZadederu& r, float level) {
    glEnable(GL_BLEND);
    if (level != 0) {
        if (level > 0) {
            glBlendFunc(GL_ONE, GL_ONE);
        } else {
            level = -level;
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        }
    } else {
        glDisable(GL_BLEND);
        level = 1.0f;
    }
    // Written so that a level that is not a number becomes 1 as well.
    if (!(level <= 1.0f)) level = 1.0f;
    r.alphaLevel = level;
    r.glState.Colour(level, level, level, level);
}

void ClearScreenAndBackground(OpenGLZadederu& r) {
    r.glState.ClearColourNow();
    FreeBackground(r, 0);
}

void PlotPoint(OpenGLZadederu& r, float x, float y, int colour) {
    PrimitiveFrame frame(r, colour);
    glBegin(GL_POINTS);
    glVertex2f(x, -(y + 1));
    glEnd();
}

void PlotLine(OpenGLZadederu& r, float x1, float y1, float x2, float y2, int colour) {
    PrimitiveFrame frame(r, colour);
    glBegin(GL_LINES);
    glVertex2f(x1, -(y1 + 1));
    glVertex2f(x2, -(y2 + 1));
    glEnd();
    // Lines leave out their last pixel; the point puts it in.
    glBegin(GL_POINTS);
    glVertex2f(x2, -(y2 + 1));
    glEnd();
}

void FillRectangle(OpenGLZadederu& r, float x1, float y1, float x2, float y2, int colour) {
    PrimitiveFrame frame(r, colour);
    // The far edges move out by one pixel so that both corners are covered;
    // equal coordinates move the first one instead.
    if (y1 < y2) y2 += 1; else y1 += 1;
    if (x1 < x2) x2 += 1; else x1 += 1;
    glBegin(GL_QUADS);
    glVertex2f(x1, -y2);
    glVertex2f(x2, -y2);
    glVertex2f(x2, -y1);
    glVertex2f(x1, -y1);
    glEnd();
}

int ReadPixel(OpenGLZadederu& r, int x, int y) {
    if (x < 0 || y < 0 || x >= r.screenWidth || y >= r.screenHeight) return 0;
    GLubyte rgb[3] = {0, 0, 0};
    r.glState.MakePendingClear();
    glReadBuffer(GL_BACK_LEFT);
    glReadPixels(x, r.screenHeight - 1 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return rgb[0] + 256 * rgb[1] + 65536 * rgb[2];
}
