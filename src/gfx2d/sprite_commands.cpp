// The sprite commands: game-code numbers to slots and pixels.
#include <brindle/gfx2d.h>

#include "core/runtime_state.h"
#include "gfx2d/command_args.h"
#include "gfx2d/sprites.h"
#include "lang/portable_maths.h"
#include "media/media_pack.h"

namespace {
OpenGLZadederu& Renderer() { return runtime.renderer; }

bool LoadInto(const RtString& fileName, double slotValue, bool normalMap) {
    int slot;
    if (!SlotArgument(slotValue, slot)) return false;
    RtString resolved;
    resolved.Reserve(512);
    if (!ResolveMediaFile(runtime.mediaPack, fileName, resolved)) return false;
    DeleteSprite(Renderer(), slot);
    return LoadSpriteImage(Renderer(), slot, resolved.Text(), kSpriteKeyColour, normalMap);
}
}  // namespace

void LoadSprite(const RtString& fileName, double slot) { LoadInto(fileName, slot, false); }

double LoadNormalMapSprite(const RtString& fileName, double slot) {
    return LoadInto(fileName, slot, true) ? 1 : 0;
}

void DrawSprite(double slot, double x, double y) {
    int s;
    if (SlotArgument(slot, s)) DrawSpriteImage(Renderer(), s, static_cast<float>(x), static_cast<float>(y));
}

void StretchSprite(double slot, double x, double y, double width, double height) {
    int s;
    if (SlotArgument(slot, s))
        StretchSprite(Renderer(), s, static_cast<float>(x), static_cast<float>(y),
                      static_cast<float>(width), static_cast<float>(height));
}

void ZoomSprite(double slot, double x, double y, double zoomX, double zoomY) {
    int s;
    if (!SlotArgument(slot, s)) return;
    OpenGLZadederu& r = Renderer();
    float iw = static_cast<float>(r.imageWidth[s]), ih = static_cast<float>(r.imageHeight[s]);
    float w = maths::fabs(static_cast<float>(r.imageWidth[s] * zoomX));
    float h = maths::fabs(static_cast<float>(r.imageHeight[s] * zoomY));
    // Scales about the sprite's centre; a negative zoom does not mirror.
    StretchSprite(r, s, static_cast<float>(x) - (w - iw) / 2, static_cast<float>(y) - (h - ih) / 2, w, h);
}

void RotateSprite(double slot, double x, double y, double angle) {
    int s;
    if (SlotArgument(slot, s))
        RotateSprite(Renderer(), s, static_cast<float>(x), static_cast<float>(y),
                     static_cast<float>(angle));
}

void RotoZoomSprite(double slot, double x, double y, double angle, double zoom) {
    int s;
    if (!SlotArgument(slot, s)) return;
    OpenGLZadederu& r = Renderer();
    // Negative angles are turned into 0 ... 360 as by adding 360 until
    // non-negative, without looping for huge values.
    if (angle < 0) {
        angle = maths::fmod(angle, 360.0);
        if (angle < 0) angle += 360;
    }
    RotoZoomOptions o;
    o.angle = static_cast<float>(angle);
    o.width = TruncToInt(r.imageWidth[s] * zoom);
    o.height = TruncToInt(r.imageHeight[s] * zoom);
    o.colour = 0;
    RotoZoomSprite(r, s, static_cast<float>(x), static_cast<float>(y), o);
}

void GetSpriteSize(double slot, double& width, double& height) {
    int s;
    if (!SlotArgument(slot, s)) return;
    width = Renderer().imageWidth[s];
    height = Renderer().imageHeight[s];
}

double SpriteCollision(double slotA, double xA, double yA, double slotB, double xB, double yB) {
    int a, b;
    if (!SlotArgument(slotA, a) || !SlotArgument(slotB, b)) return 0;
    return SpriteCollision(Renderer(), a, TruncToInt(xA), TruncToInt(yA), b, TruncToInt(xB),
                           TruncToInt(yB))
               ? 1
               : 0;
}

void StartPolygon(double slot) {
    int s;
    if (SlotOrNoneArgument(slot, s)) Renderer().polygonBatch.Reset(s);
}

void PolygonVertex(double x, double y, double u, double v, double colour) {
    AddPolygonVertex(Renderer(), TruncToInt(x), TruncToInt(y), static_cast<float>(u),
                     static_cast<float>(v), TruncToInt(colour));
}

void EndPolygon() { DrawPolygonBatch(Renderer()); }

void SetTexture(double slot, double secondSlot) {
    int s, second;
    if (SlotOrNoneArgument(slot, s) && SlotOrNoneArgument(secondSlot, second))
        BindSprite(Renderer(), s, second, runtime.mipmapSetting);
}

void SetMipmapping(double on) { runtime.mipmapSetting = TruncToInt(on); }
