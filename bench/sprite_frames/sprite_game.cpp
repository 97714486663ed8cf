// The sprite frame-rate run's game program: writes the sprite image as a BMP
// beside itself, loads it and then draws 5000 sprites (or as many as the
// command line says) per frame through DrawSprite, as fast as the runtime
// lets it (the frame limit at its highest).
#include <brindle.h>

#include <vector>

#include "media/bmp_file.h"
#include "sprite_scene.h"

const GameSettings gameSettings = {
    sprite_scene::kWidth,   // windowWidth
    sprite_scene::kHeight,  // windowHeight
    60,                     // framesPerSecond
    0,                      // startFullscreen
    0,                      // debugTrace
    0,                      // useDirectMouse
    "Sprite frames",
};

void GameMain() {
    using namespace sprite_scene;
    std::vector<uint8_t> pixels;  // blue, green, red
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            uint8_t r, g, b;
            ImagePixel(x, y, r, g, b);
            pixels.insert(pixels.end(), {b, g, r});
        }
    WriteBmp24("sprite32.bmp", pixels.data(), kSize, kSize, kSize, false);
    LoadSprite(RtString("sprite32.bmp"), 1);
    SetFrameRate(-1);
    const int sprites = SpriteCount(CommandLine().Text());
    for (;;) {
        for (int i = 0; i < sprites; ++i) DrawSprite(1, SpriteX(i), SpriteY(i));
        ShowFrame();
    }
}
