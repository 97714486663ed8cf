// GlStateRecord: the GL state the renderer has set, so that drawing skips
// calls that would not change it. Mesa ends its batch of immediate-mode
// vertices at every state call, even one that changes nothing; a run of
// sprites that sets nothing between its quads is drawn as one batch.
//
// Recorded: the texture bound on units 0 and 1, their texturing switch and
// texture environment mode, the current colour and the lighting switch.
// Unit 0 is the selected texture unit before and after every call.
//
// Every change of these states goes through the record (the gfx2d suite
// compares the record with GL after every kind of command, 2D and 3D).
// Code that changes one of them behind the
// record's back says so afterwards: ForgetColour after drawing with a colour
// array (GL leaves the current colour undefined), ForgetTextureBinding after
// making or reading a texture through a plain bind, Forget after anything
// else.
#pragma once
#include <string>

class GlStateRecord {
public:
    static constexpr int kUnits = 2;

    // Nothing known: the next request of each state reaches GL.
    void Forget();
    void ForgetColour();
    void ForgetTextureBinding();  // unit 0's binding
    // Off: every request reaches GL and textured drawing always modulates,
    // the renderer's behaviour without a record (tests compare pictures
    // drawn both ways). On by default.
    void SetSkipping(bool on);

    void BindTexture(int unit, unsigned int name);
    void Texturing(int unit, bool on);
    void TextureMode(int unit, int mode);  // GL_TEXTURE_ENV_MODE
    void Colour(float red, float green, float blue, float alpha);
    void Lighting(bool on);
    // glDeleteTextures; a unit bound to a deleted name is bound to 0, as in GL.
    void DeleteTextures(int count, const unsigned int* names);

    // Unit 0's mode for textured drawing in the current colour: replace
    // while that colour is opaque white and lighting is off (the same
    // pixels for less work per pixel), modulate otherwise.
    void TextureInCurrentColour();
    // Unit 0's mode when the colour comes from elsewhere as well (colour
    // arrays, lighting): modulate.
    void TextureModulated();

    // Test support: the recorded states that GL does not hold, one per line;
    // empty when they agree. Reads GL state (slow).
    std::string Mismatches() const;

private:
    static constexpr unsigned int kUnknownName = 0xFFFFFFFFu;
    bool HasUnit(int unit) const;
    bool skipping_ = true;
    unsigned int bound_[kUnits] = {kUnknownName, kUnknownName};
    int texturing_[kUnits] = {-1, -1};  // -1 unknown, 0 off, 1 on
    int mode_[kUnits] = {0, 0};         // 0 unknown
    bool colourKnown_ = false;
    float colour_[4] = {0, 0, 0, 0};
    int lighting_ = -1;
};
