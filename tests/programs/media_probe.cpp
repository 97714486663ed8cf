// Media through the executable's own pack and images written back: loads
// "Probe.BMP" (appended to this executable, not on disk) into a sprite,
// records what the lookup extracted, loads the object "probe.obj" from the
// pack too, saves a known frame and the sprite as BMP files and ends. Writes
// media-probe.txt in its directory:
//   size W H          the sprite's image size (0 0 when not found)
//   extracted PATH    the pending extracted file and whether it exists now
//   object R T        LoadObject's result and the object's triangle count
#include <brindle.h>

#include <cstdio>
#include <string>

#include "core/runtime_state.h"
#include "media/file_access.h"
#include "media/media_pack.h"
#include "platform/gl.h"

const GameSettings gameSettings = {640, 480, 60, 0, 0, 0, "Media Probe"};

namespace {
void Fill(int x, int y, int w, int h, float r, float g, float b) {
    runtime.renderer.glState.MakePendingClear();  // the frame's own clear first
    glScissor(x, y, w, h);
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}
}  // namespace

void GameMain() {
    LoadSprite("Probe.BMP", 5);
    double w = 0, h = 0;
    GetSpriteSize(5, w, h);
    // Copied: the next lookup replaces the record's path.
    const std::string extracted = runtime.mediaPack ? runtime.mediaPack->extractedPath : "";
    std::FILE* f = OpenExistingForRead(extracted.c_str());
    const bool exists = f != nullptr;
    if (f) std::fclose(f);

    const double objectLoaded = LoadObject("probe.obj", 3);
    const ObjectSlot& slot = runtime.scene.objects[3];
    const int triangles = slot.meshes.count > 0 && slot.meshes[0].frames.count > 0
                              ? slot.meshes[0].frames[0].triangleVertices.count / 3
                              : 0;

    // The frame: blue, a 30 x 40 red block 10 pixels from the left and 20
    // from the bottom, a 5 x 3 white block in the top-right corner.
    glEnable(GL_SCISSOR_TEST);
    Fill(0, 0, 640, 480, 0, 0, 1);
    Fill(10, 20, 30, 40, 1, 0, 0);
    Fill(635, 477, 5, 3, 1, 1, 1);
    glDisable(GL_SCISSOR_TEST);
    SaveScreen("screen.bmp");
    const double saved = SaveSprite(5, "sprite.bmp");

    std::FILE* out = std::fopen("media-probe.txt", "wb");
    if (out) {
        std::fprintf(out, "size %d %d\nextracted %s %d\nsaved %d\nobject %d %d\n", static_cast<int>(w),
                     static_cast<int>(h), extracted.c_str(), exists ? 1 : 0, static_cast<int>(saved),
                     static_cast<int>(objectLoaded), triangles);
        std::fclose(out);
    }
    End();
}
