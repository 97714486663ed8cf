// Pixel-exact overlap of two sprites from their alpha masks.
#pragma once
#include <cstdint>

// A sprite placed on the screen: its rectangle and its texture's alpha
// channel (rows of rowLength bytes, row 0 = the image's bottom row).
struct PlacedMask {
    int x, y;                // top-left screen position
    int width, height;       // image size
    const uint8_t* alpha;    // null when the slot has no mask
    int rowLength;           // texture width
};

// The overlap of the two rectangles, in screen pixels, [left, right) x [top, bottom).
struct Overlap {
    int64_t left, right, top, bottom;
    bool Apart() const { return right < left || bottom < top; }  // touching is not apart
};
Overlap OverlapOf(const PlacedMask& a, const PlacedMask& b);

// True when some pixel of the overlap is opaque in A (alpha not 0) and fully
// opaque in B (alpha 255). Masks are read only inside each image.
bool OpaquePixelsMeet(const PlacedMask& a, const PlacedMask& b);
