// BMP files on disk: the size probe, reading the bytes the decoder needs,
// and writing 24-bit images.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "media/bmp_decode.h"

struct BmpSize {
    int width = 0;
    int height = 0;
};

// Absolute width and height from the headers; (0, 0) when the file is
// missing, is not a BMP, or is shorter than its headers say.
BmpSize ReadBmpSize(const char* fileName);

// Reads headers, colour table and pixel rows (nothing beyond them) into
// bytes, each part with one read, after checking the sizes the headers claim
// against the file's real size.
BmpStatus ReadBmpFile(const char* fileName, std::vector<uint8_t>& bytes);

// Writes width x height pixels of blue-green-red bytes as a 24-bit BMP.
// Source row r starts at pixel r * sourceRowLength; output row c (row 0 at
// the bottom) takes source row c, or height - 1 - c when flip is set.
bool WriteBmp24(const char* fileName, const uint8_t* pixels, int width, int height,
                int sourceRowLength, bool flip);
