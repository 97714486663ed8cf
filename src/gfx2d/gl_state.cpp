#include "gfx2d/gl_state.h"

#include <cstdio>

#include "platform/gl.h"
#include "platform/gl_entry_points.h"

namespace {
void SelectUnit(int unit) { glActiveTextureARB(GL_TEXTURE0_ARB + unit); }

// GL may report the current colour clamped to 0 ... 1.
float Clamped(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
}  // namespace

bool GlStateRecord::HasUnit(int unit) const {
    return unit == 0 || (unit > 0 && unit < kUnits && glActiveTextureARB);
}

void GlStateRecord::Forget() {
    for (int unit = 0; unit < kUnits; ++unit) {
        bound_[unit] = kUnknownName;
        texturing_[unit] = -1;
        mode_[unit] = 0;
    }
    colourKnown_ = false;
    lighting_ = -1;
    alphaGl_ = -1;
    depthClean_ = false;
}

void GlStateRecord::ForgetColour() { colourKnown_ = false; }

void GlStateRecord::ForgetTextureBinding() { bound_[0] = kUnknownName; }

void GlStateRecord::SetSkipping(bool on) {
    MakePendingClear();
    skipping_ = on;
    Forget();
}

void GlStateRecord::BindTexture(int unit, unsigned int name) {
    if (!HasUnit(unit) || (skipping_ && bound_[unit] == name)) return;
    if (unit) SelectUnit(unit);
    glBindTexture(GL_TEXTURE_2D, name);
    if (unit) SelectUnit(0);
    bound_[unit] = name;
}

void GlStateRecord::Texturing(int unit, bool on) {
    if (!HasUnit(unit) || (skipping_ && texturing_[unit] == static_cast<int>(on))) return;
    if (unit) SelectUnit(unit);
    if (on) glEnable(GL_TEXTURE_2D);
    else glDisable(GL_TEXTURE_2D);
    if (unit) SelectUnit(0);
    texturing_[unit] = on;
}

void GlStateRecord::TextureMode(int unit, int mode) {
    if (!HasUnit(unit) || (skipping_ && mode_[unit] == mode)) return;
    if (unit) SelectUnit(unit);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode);
    if (unit) SelectUnit(0);
    mode_[unit] = mode;
}

void GlStateRecord::Colour(float red, float green, float blue, float alpha) {
    if (skipping_ && colourKnown_ && colour_[0] == red && colour_[1] == green && colour_[2] == blue &&
        colour_[3] == alpha)
        return;
    glColor4f(red, green, blue, alpha);
    colour_[0] = red;
    colour_[1] = green;
    colour_[2] = blue;
    colour_[3] = alpha;
    colourKnown_ = true;
}

void GlStateRecord::Lighting(bool on) {
    if (skipping_ && lighting_ == static_cast<int>(on)) return;
    if (on) glEnable(GL_LIGHTING);
    else glDisable(GL_LIGHTING);
    lighting_ = on;
}

void GlStateRecord::AlphaTest(bool on) {
    alphaWanted_ = on;
    // GL follows at the next draw (every draw asks BeforeDraw first).
    if (!skipping_) SetGlAlphaTest(on);
}

void GlStateRecord::AlphaReference(float reference) {
    glAlphaFunc(GL_GREATER, reference);
    alphaReference_ = reference;
}

void GlStateRecord::SetGlAlphaTest(bool on) {
    if (skipping_ && alphaGl_ == static_cast<int>(on)) return;
    if (on) glEnable(GL_ALPHA_TEST);
    else glDisable(GL_ALPHA_TEST);
    alphaGl_ = on;
}

void GlStateRecord::ClearColourLater() {
    if (skipping_) clearPending_ = true;
    else glClear(GL_COLOR_BUFFER_BIT);
}

void GlStateRecord::ClearColourNow() {
    clearPending_ = false;
    glClear(GL_COLOR_BUFFER_BIT);
}

// Whether a draw that reaches every pixel replaces it whatever it held:
// no blending, logic operation, colour mask or test between the fragment
// and the pixel. Asked of GL once per frame at most.
bool GlStateRecord::WritesEveryPixel() const {
    GLboolean mask[4] = {GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    return mask[0] && mask[1] && mask[2] && mask[3] && !glIsEnabled(GL_BLEND) &&
           !glIsEnabled(GL_COLOR_LOGIC_OP) && !glIsEnabled(GL_DEPTH_TEST) &&
           !glIsEnabled(GL_STENCIL_TEST) && !glIsEnabled(GL_SCISSOR_TEST) &&
           !glIsEnabled(GL_POLYGON_STIPPLE);
}

void GlStateRecord::PrepareDraw(float textureAlpha, bool coversScreen) {
    // The least alpha of any fragment: the texture's times the colour's, as
    // both modulate and replace (chosen only for opaque white) give.
    float least = 0;
    if (skipping_ && textureAlpha > 0 && colourKnown_ && lighting_ == 0 && texturing_[0] == 1 &&
        (texturing_[1] == 0 || !HasUnit(1)))
        least = textureAlpha * (colour_[3] < 0 ? 0 : colour_[3] > 1 ? 1 : colour_[3]);
    // A margin of a few steps of eight-bit alpha against rounding.
    const bool testPasses = least > alphaReference_ + 0.02f;
    SetGlAlphaTest(alphaWanted_ && !testPasses);
    if (clearPending_) {
        // Every pixel gets a fragment that replaces it: the clear would
        // change nothing that can be seen or read.
        if (coversScreen && (testPasses || !alphaWanted_) && WritesEveryPixel()) clearPending_ = false;
        else ClearColourNow();
    }
}

void GlStateRecord::DeleteTextures(int count, const unsigned int* names) {
    if (count <= 0) return;
    glDeleteTextures(count, names);
    for (int i = 0; i < count; ++i) {
        if (names[i] == 0) continue;
        for (unsigned int& bound : bound_)
            if (bound == names[i]) bound = 0;
    }
}

void GlStateRecord::TextureInCurrentColour() {
    bool white = skipping_ && colourKnown_ && lighting_ == 0 && colour_[0] == 1 && colour_[1] == 1 &&
                 colour_[2] == 1 && colour_[3] == 1;
    TextureMode(0, white ? GL_REPLACE : GL_MODULATE);
}

void GlStateRecord::TextureModulated() { TextureMode(0, GL_MODULATE); }

std::string GlStateRecord::Mismatches() const {
    std::string out;
    char line[160];
    if (glActiveTextureARB) {
        GLint active = 0;
        glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
        if (active != GL_TEXTURE0_ARB) {
            std::snprintf(line, sizeof line, "selected unit %d, not 0\n", active - GL_TEXTURE0_ARB);
            out += line;
        }
    }
    for (int unit = 0; unit < kUnits; ++unit) {
        if (!HasUnit(unit)) continue;
        if (unit) SelectUnit(unit);
        GLint bound = 0, mode = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
        int texturing = glIsEnabled(GL_TEXTURE_2D) ? 1 : 0;
        if (unit) SelectUnit(0);
        if (bound_[unit] != kUnknownName && static_cast<GLint>(bound_[unit]) != bound) {
            std::snprintf(line, sizeof line, "unit %d: texture %d bound, recorded %u\n", unit, bound,
                          bound_[unit]);
            out += line;
        }
        if (texturing_[unit] >= 0 && texturing_[unit] != texturing) {
            std::snprintf(line, sizeof line, "unit %d: texturing %d, recorded %d\n", unit, texturing,
                          texturing_[unit]);
            out += line;
        }
        if (mode_[unit] != 0 && mode_[unit] != mode) {
            std::snprintf(line, sizeof line, "unit %d: mode 0x%X, recorded 0x%X\n", unit, mode,
                          mode_[unit]);
            out += line;
        }
    }
    if (colourKnown_) {
        GLfloat c[4] = {0, 0, 0, 0};
        glGetFloatv(GL_CURRENT_COLOR, c);
        bool same = true;
        for (int i = 0; i < 4; ++i) same = same && Clamped(c[i]) == Clamped(colour_[i]);
        if (!same) {
            std::snprintf(line, sizeof line, "colour (%g, %g, %g, %g), recorded (%g, %g, %g, %g)\n", c[0],
                          c[1], c[2], c[3], colour_[0], colour_[1], colour_[2], colour_[3]);
            out += line;
        }
    }
    int alphaTest = glIsEnabled(GL_ALPHA_TEST) ? 1 : 0;
    if (alphaGl_ >= 0 && alphaGl_ != alphaTest) {
        std::snprintf(line, sizeof line, "alpha test %d, recorded %d\n", alphaTest, alphaGl_);
        out += line;
    }
    int lighting = glIsEnabled(GL_LIGHTING) ? 1 : 0;
    if (lighting_ >= 0 && lighting_ != lighting) {
        std::snprintf(line, sizeof line, "lighting %d, recorded %d\n", lighting, lighting_);
        out += line;
    }
    return out;
}
