// OpenGLZadederu: the one 2D renderer. It owns the rendering context, the 2D
// view, the display mode, the sprite table and the background buffers, and
// keeps the frame clock. It lives in RuntimeState for the whole process.
#pragma once
#include <cstdint>

#include "gfx2d/gl_state.h"
#include "gfx2d/polygon_batch.h"
#include "platform/gl_context.h"
#include "platform/native_window.h"

constexpr int kSpriteSlots = 65536;
constexpr int kBackgroundBuffers = 16;
constexpr int kBackgroundTiles = 4096;  // 64 columns x 64 rows

// A tiled background image; tiles indexed column * 64 + row.
struct BackgroundBuffer {
    unsigned int tileTexture[kBackgroundTiles];
    int tileWidth[kBackgroundTiles];
    int tileHeight[kBackgroundTiles];
    int columns;
    int rows;
};

class OpenGLZadederu {
public:
    OpenGLZadederu();
    virtual ~OpenGLZadederu();
    OpenGLZadederu(const OpenGLZadederu&) = delete;
    OpenGLZadederu& operator=(const OpenGLZadederu&) = delete;

    // Pixel format, context, extension probe and the 2D view; always 1.
    int CreateContext(platform::NativeWindow window, int width, int height, int colourDepth,
                      int framesPerSecond);
    void SetupPixelFormat();
    platform::PaletteHandle CreateRgbPalette();
    void SetViewport2D(int x, int y, int width, int height);
    void ResizeScreen(int width, int height);
    void ResetViewport();
    // True on success; false after the fallback to windowed display.
    bool EnterFullscreen();
    int EnterWindowed();

    // Time stamp in milliseconds (performance counter, else multimedia timer).
    double Now() const;

    // Sprite slots: [0] the plain texture, [1] the mipmapped one.
    unsigned int spriteTexture[kSpriteSlots][2];
    int boundSlot, boundSecondSlot, boundUseMip;
    float alphaLevel;
    int textureWidth[kSpriteSlots];  // power of two; -1 = empty slot
    int textureHeight[kSpriteSlots];
    int imageWidth[kSpriteSlots];
    int imageHeight[kSpriteSlots];
    platform::PaletteHandle palette;
    uint8_t* alphaMask[kSpriteSlots];  // heap copies of alpha channels, owned here
    // TextureOpacity of the slot's textures (media/bmp_texture.h), known for
    // loaded images only: drawing an opaque one may skip the alpha test.
    uint8_t opacity[kSpriteSlots];
    platform::NativeWindow window;
    int screenWidth, screenHeight;
    int colourDepth;  // 0 = the desktop's
    bool fullscreen;
    int viewportX, viewportY, viewportWidth, viewportHeight;
    BackgroundBuffer backgrounds[kBackgroundBuffers];
    bool contextReady;
    double startTime;    // deadline of the next frame (advanced by PresentAndPace)
    double framePeriod;  // ms per frame
    platform::GlContext glContext;
    double counterFrequency;
    int hasPerformanceCounter;
    PolygonBatch polygonBatch;  // StartPolygon ... EndPolygon
    GlStateRecord glState;      // the GL state set so far: calls that change nothing are skipped
    // The colour bits of the pixel format request come from the first
    // request only; a later one (after a fullscreen fallback) asks for the same.
    bool pixelRequestFilled = false;
    int pixelRequestColourBits = 0;
};

// Switches off the fixed-function features neither the 2D view nor the 3D
// scene starts with: fog, smoothing, stencil, polygon offset, automatic
// normals, normalisation and lighting (the last through the record).
void DisableUnusedFixedFunctions(GlStateRecord& glState);

// Palette entries (0x00BBGGRR) for a palette-based pixel format: entry i
// spreads each channel's bits of i over 0..255.
void BuildRgbPaletteEntries(const platform::PixelFormatDescription& format, uint32_t* entries,
                            int count);
