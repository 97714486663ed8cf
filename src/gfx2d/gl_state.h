// GlStateRecord: the GL state the renderer has set, so that drawing skips
// calls that would not change it. Mesa ends its batch of immediate-mode
// vertices at every state call, even one that changes nothing; a run of
// sprites that sets nothing between its quads is drawn as one batch.
//
// Recorded: the texture bound on units 0 and 1, their texturing switch and
// texture environment mode, the current colour, the lighting switch and the
// alpha test. Unit 0 is the selected texture unit before and after every call.
//
// Two savings need the drawing code's help, so every draw calls BeforeDraw
// (or BeforeImageDraw) first:
// - The alpha test is switched on as the renderer asks (AlphaTest), but it
//   stays off for images whose every fragment passes it anyway: on llvmpipe
//   a draw without it costs less per pixel.
// - The colour clear of a new frame waits for the frame's first draw, and is
//   dropped when that draw is an opaque image covering the whole screen.
//   Reading or copying the back buffer, swapping it, or masking its colours
//   first calls MakePendingClear.
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
    // The alpha test the renderer wants (GL_GREATER with the reference);
    // GL's switch follows at the next draw.
    void AlphaTest(bool on);
    bool AlphaTestWanted() const { return alphaWanted_ != 0; }
    void AlphaReference(float reference);
    // The colour buffer is to be cleared (to the clear colour, which the
    // renderer always sets to opaque black) before anything else touches it.
    void ClearColourLater();
    bool ClearPending() const { return clearPending_; }
    void MakePendingClear() {
        if (clearPending_) ClearColourNow();
    }
    // Clears the colour buffer at once (the pending clear with it).
    void ClearColourNow();
    // The depth and stencil buffers are clean (hold only cleared values)
    // after a clear of both, until a 3D scene or the shadow pass may write
    // them, a new or resized drawable or Forget: a frame with no 3D drawing
    // need not clear them again.
    void DepthMayChange() { depthClean_ = false; }
    void DepthCleared() { depthClean_ = true; }
    bool DepthClean() const { return skipping_ && depthClean_; }
    // A draw of something else follows: the pending clear is made and the
    // alpha test is as the renderer wants it.
    void BeforeDraw() {
        if (clearPending_ || alphaGl_ != alphaWanted_) PrepareDraw(0, false);
    }
    // A textured draw whose texels all have at least `textureAlpha` (the
    // filtered alpha of unit 0's texture wherever the draw samples it), in
    // the current colour with lighting and unit 1 off: the alpha test is left
    // off when no fragment can fail it. `coversScreen`: the draw's quad
    // covers every pixel of the window, so the pending clear is dropped when
    // the draw writes every pixel whatever was there.
    void BeforeImageDraw(float textureAlpha, bool coversScreen) {
        if (clearPending_ || alphaWanted_ != 0 || alphaGl_ != 0) PrepareDraw(textureAlpha, coversScreen);
    }
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
    void SetGlAlphaTest(bool on);
    void PrepareDraw(float textureAlpha, bool coversScreen);
    bool WritesEveryPixel() const;
    bool skipping_ = true;
    unsigned int bound_[kUnits] = {kUnknownName, kUnknownName};
    int texturing_[kUnits] = {-1, -1};  // -1 unknown, 0 off, 1 on
    int mode_[kUnits] = {0, 0};         // 0 unknown
    bool colourKnown_ = false;
    float colour_[4] = {0, 0, 0, 0};
    int lighting_ = -1;
    int alphaWanted_ = 0;  // what the renderer asked for
    int alphaGl_ = -1;     // what GL has: -1 unknown
    float alphaReference_ = 0;
    bool clearPending_ = false;
    bool depthClean_ = false;
};
