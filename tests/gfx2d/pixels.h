// Helpers for the drawing tests: BMP files made on the spot, and the back
// buffer read back pixel by pixel. Colours are 0x00BBGGRR, as in the runtime.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes a bottom-up BMP of 24 (or 32) bits per pixel; pixels top row first.
void WriteBmp(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels,
              int bitsPerPixel = 24);

// Clears the back buffer to the colour (the clear colour stays black).
void ClearBack(uint32_t colour);
// The back buffer's pixel at window column x, row y from the top.
uint32_t Pixel(int x, int y);
// A w x h block of the back buffer, top row first.
std::vector<uint32_t> Block(int x, int y, int w, int h);

// Additive blending, as the alpha mode commands set it.
void AdditiveBlending();
void OpaqueDrawing();
