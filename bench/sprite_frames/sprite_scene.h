// What every program of the sprite frame-rate run draws: 5000 (or as many as
// the command line says) copies of one 32 x 32 image per 640 x 480 frame, at
// the same places. The image is a disc
// on the sprite key colour (transparent once loaded), so the alpha test has
// pixels to reject; it is symmetric top to bottom, so a program need not care
// which way up its texture rows go.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace sprite_scene {

constexpr int kWidth = 640, kHeight = 480;
constexpr int kSprites = 5000;
constexpr int kSize = 32;

// The sprite count from the words of a command line: the first number in
// it, else kSprites.
inline int SpriteCount(const char* words) {
    for (const char* p = words; p && *p; ++p) {
        if (*p >= '1' && *p <= '9' && (p == words || p[-1] == ' ')) {
            int n = std::atoi(p);
            if (n > 0 && n <= 1000000) return n;
        }
    }
    return kSprites;
}

// The top-left corner of sprite i (screen pixels, y downwards).
inline int SpriteX(int i) { return (i * 37) % (kWidth - 40); }
inline int SpriteY(int i) { return (i * 53) % (kHeight - 40); }

// Pixel (x, y) of the image as red, green, blue; false where it is the key
// colour (red 255, green 0, blue 128: transparent).
inline bool ImagePixel(int x, int y, uint8_t& red, uint8_t& green, uint8_t& blue) {
    int dx = 2 * x + 1 - kSize, dy = 2 * y + 1 - kSize;
    int d2 = dx * dx + dy * dy;
    if (d2 > (kSize - 2) * (kSize - 2)) {
        red = 255, green = 0, blue = 128;
        return false;
    }
    red = static_cast<uint8_t>(64 + 6 * x);
    green = static_cast<uint8_t>(255 - d2 / 4);
    blue = static_cast<uint8_t>(40 + (dy < 0 ? -dy : dy) * 6);
    return true;
}

}  // namespace sprite_scene
