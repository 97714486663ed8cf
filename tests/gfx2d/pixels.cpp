#include "pixels.h"

#include <cstdio>

#include "core/runtime_state.h"
#include "platform/gl.h"
#include "support/little_endian.h"

void WriteBmp(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels,
              int bitsPerPixel) {
    int bytesPerPixel = bitsPerPixel / 8;
    int rowLength = (width * bytesPerPixel + 3) & ~3;
    std::vector<uint8_t> b;
    Put16(b, 0x4D42);
    Put32(b, 54 + rowLength * height);
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, width);
    Put32(b, height);
    Put16(b, 1);
    Put16(b, bitsPerPixel);
    for (int i = 0; i < 6; ++i) Put32(b, 0);
    for (int row = height - 1; row >= 0; --row) {
        size_t start = b.size();
        for (int x = 0; x < width; ++x) {
            uint32_t c = pixels[row * width + x];
            b.push_back((c >> 16) & 0xFF);  // blue, green, red
            b.push_back((c >> 8) & 0xFF);
            b.push_back(c & 0xFF);
            if (bytesPerPixel == 4) b.push_back(0);
        }
        while (b.size() - start < static_cast<size_t>(rowLength)) b.push_back(0);
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
}

void ClearBack(uint32_t colour) {
    glClearColor((colour & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f,
                 ((colour >> 16) & 0xFF) / 255.0f, 1);
    runtime.renderer.glState.MakePendingClear();
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
}

std::vector<uint32_t> Block(int x, int y, int w, int h) {
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    int bottom = runtime.renderer.screenHeight - y - h;
    runtime.renderer.glState.MakePendingClear();  // the frame's clear waits for a draw
    glReadPixels(x, bottom, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    std::vector<uint32_t> out(static_cast<size_t>(w) * h);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            const uint8_t* p = &rgb[3 * ((h - 1 - row) * w + col)];
            out[row * w + col] = p[0] | p[1] << 8 | p[2] << 16;
        }
    return out;
}

uint32_t Pixel(int x, int y) { return Block(x, y, 1, 1)[0]; }

void AdditiveBlending() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
}

void OpaqueDrawing() {
    glDisable(GL_BLEND);
    runtime.renderer.alphaLevel = 1.0f;
    glColor4f(1, 1, 1, 1);
}
