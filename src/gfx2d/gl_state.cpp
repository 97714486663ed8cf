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
}

void GlStateRecord::ForgetColour() { colourKnown_ = false; }

void GlStateRecord::ForgetTextureBinding() { bound_[0] = kUnknownName; }

void GlStateRecord::SetSkipping(bool on) {
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
    int lighting = glIsEnabled(GL_LIGHTING) ? 1 : 0;
    if (lighting_ >= 0 && lighting_ != lighting) {
        std::snprintf(line, sizeof line, "lighting %d, recorded %d\n", lighting, lighting_);
        out += line;
    }
    return out;
}
