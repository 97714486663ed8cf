// The background and grab commands. A background file that is not found
// changes nothing; one that is found but cannot be decoded ends the program
// with error 3.
#include <brindle/core.h>
#include <brindle/gfx2d.h>

#include "core/program_end.h"
#include "core/runtime_state.h"
#include "gfx2d/backgrounds.h"
#include "gfx2d/command_args.h"
#include "media/media_pack.h"
#include "platform/gl.h"

namespace {
OpenGLZadederu& Renderer() { return runtime.renderer; }

[[noreturn]] void EndWithUndecodableImage() {
    RecordError(3);
    EndProgram();
}

bool Resolve(const RtString& fileName, RtString& resolved) {
    resolved.Reserve(512);
    return ResolveMediaFile(runtime.mediaPack, fileName, resolved);
}
}  // namespace

void LoadBackground(const RtString& fileName) {
    RtString resolved;
    if (!Resolve(fileName, resolved)) return;
    if (!LoadBackgroundImage(Renderer(), 0, resolved.Text())) EndWithUndecodableImage();
    DrawBackground(Renderer(), 0);
}

void FadeToBackground(const RtString& fileName) {
    RtString resolved;
    if (!Resolve(fileName, resolved)) return;
    OpenGLZadederu& r = Renderer();
    GrabScreenToBackground(r, 0);
    if (!LoadBackgroundImage(r, 1, resolved.Text())) EndWithUndecodableImage();
    CrossFade(r, 0, 1);
    FreeBackground(r, 1);
    LoadBackgroundImage(r, 0, resolved.Text());
    DrawBackground(r, 0);
    glDisable(GL_BLEND);
    r.alphaLevel = 1.0f;
    r.glState.Colour(1, 1, 1, 1);
}

void GrabBackground() { GrabScreenToBackground(Renderer(), 0); }

double GrabSprite(double slot, double x, double y, double width, double height) {
    int s;
    if (!SlotArgument(slot, s)) return 0;
    GrabScreenToSprite(Renderer(), s, TruncToInt(x), TruncToInt(y), TruncToInt(width), TruncToInt(height));
    return 1;
}
