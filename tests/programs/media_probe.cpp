// Media through the executable's own pack and images written back: loads
// "Probe.BMP" (appended to this executable, not on disk) into a sprite,
// records what the lookup extracted, saves a known frame and the sprite as
// BMP files and ends. Writes media-probe.txt in its directory:
//   size W H          the sprite's image size (0 0 when not found)
//   extracted PATH    the pending extracted file and whether it exists now
#include <brindle.h>

#include <cstdio>

#include "core/runtime_state.h"
#include "media/file_access.h"
#include "media/media_pack.h"
#include "platform/gl.h"

const GameSettings gameSettings = {640, 480, 60, 0, 0, 0, "Media Probe"};

namespace {
void Fill(int x, int y, int w, int h, float r, float g, float b) {
    glScissor(x, y, w, h);
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}
}  // namespace

void GameMain() {
    LoadSprite("Probe.BMP", 5);
    double w = 0, h = 0;
    GetSpriteSize(5, w, h);
    const char* extracted = runtime.mediaPack ? runtime.mediaPack->extractedPath : "";
    std::FILE* f = OpenExistingForRead(extracted);
    const bool exists = f != nullptr;
    if (f) std::fclose(f);

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
        std::fprintf(out, "size %d %d\nextracted %s %d\nsaved %d\n", static_cast<int>(w),
                     static_cast<int>(h), extracted, exists ? 1 : 0, static_cast<int>(saved));
        std::fclose(out);
    }
    End();
}
