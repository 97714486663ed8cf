#include "gfx2d/opengl_zadederu.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/error_log.h"
#include "gfx2d/backgrounds.h"
#include "platform/gl_entry_points.h"
#include "platform/gl.h"
#include "platform/system.h"

namespace {
const char* const kSoftwareCaption = "!!OpenGL Software Emulation!!";
const char* const kSoftwareText =
    "Please update your GFX adapter's driver\nso it can render OpenGL by HARDWARE\n\n\n"
    "Bitte aktualisieren Sie Ihren\nGrafkkartentreiber, damit er OpenGL\n"
    "per HARDWARE unterst\374tzt!";
}  // namespace

OpenGLZadederu::OpenGLZadederu() {
    contextReady = false;
    alphaLevel = 0;
    std::memset(spriteTexture, 0, sizeof spriteTexture);
    std::memset(imageWidth, 0, sizeof imageWidth);
    std::memset(imageHeight, 0, sizeof imageHeight);
    std::memset(opacity, 0, sizeof opacity);
    std::memset(backgrounds, 0, sizeof backgrounds);
    for (int i = 0; i < kSpriteSlots; ++i) {
        textureWidth[i] = -1;
        textureHeight[i] = -1;
        alphaMask[i] = nullptr;
    }
    boundSlot = boundSecondSlot = boundUseMip = 0;
    palette = nullptr;
    window = nullptr;
    screenWidth = screenHeight = colourDepth = 0;
    fullscreen = false;
    viewportX = viewportY = viewportWidth = viewportHeight = 0;
    glContext = nullptr;
    framePeriod = 0;
    counterFrequency = 0;
    hasPerformanceCounter = platform::QueryCounterFrequency(counterFrequency) && counterFrequency > 0;
    startTime = Now();
}

OpenGLZadederu::~OpenGLZadederu() {
    for (int i = 0; i < kSpriteSlots; ++i) {
        if (contextReady) glState.DeleteTextures(2, spriteTexture[i]);
        textureWidth[i] = -1;
        textureHeight[i] = -1;
        std::free(alphaMask[i]);
        alphaMask[i] = nullptr;
    }
    for (int buffer = 0; buffer < kBackgroundBuffers; ++buffer) FreeBackground(*this, buffer);
    EnterWindowed();
    // Only its own context: one that never had any must not release the
    // context current on this thread.
    if (glContext) platform::DeleteGlContext(window, glContext);
    glContext = nullptr;
    contextReady = false;
    platform::DeletePalette(palette);
    palette = nullptr;
    platform::InvalidateScreen();
}

double OpenGLZadederu::Now() const {
    if (hasPerformanceCounter) return platform::QueryCounter() * 1000.0 / counterFrequency;
    return platform::MultimediaTimeMs();
}

int OpenGLZadederu::CreateContext(platform::NativeWindow w, int width, int height, int depth,
                                  int framesPerSecond) {
    framePeriod = framesPerSecond > 0 ? 1000.0 / framesPerSecond : 2.0;
    window = w;
    int rectWidth = 0, rectHeight = 0;
    platform::WindowRectSize(window, rectWidth, rectHeight);
    if (depth == 0) depth = platform::DesktopBitsPerPixel();
    if (width == 0) width = std::abs(rectWidth);
    if (height == 0) height = std::abs(rectHeight);
    fullscreen = false;
    screenWidth = width;
    screenHeight = height;
    colourDepth = depth;

    SetupPixelFormat();
    palette = CreateRgbPalette();
    glContext = platform::CreateGlContext(window);
    glState.Forget();  // a new context: nothing set yet

    startTime = Now();
    gl_entry::LoadEntryPoints(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
    SetViewport2D(0, 0, 0, 0);
    contextReady = true;
    return 1;
}

void OpenGLZadederu::SetupPixelFormat() {
    if (!pixelRequestFilled) {
        pixelRequestColourBits = colourDepth;
        pixelRequestFilled = true;
    }
    platform::PixelFormatDescription format;
    if (!platform::SetupPixelFormat(window, pixelRequestColourBits, format)) return;
    if (format.software) {
        platform::WarningBox(kSoftwareCaption, kSoftwareText);
        AppendErrorLog("OpenGL Software Emulation");
    } else {
        AppendErrorLog("OpenGL Hardware Support");
    }
}

void DisableUnusedFixedFunctions(GlStateRecord& glState) {
    glDisable(GL_FOG);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_POINT_SMOOTH);
    glDisable(GL_POLYGON_SMOOTH);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_POLYGON_OFFSET_POINT);
    glDisable(GL_AUTO_NORMAL);
    glDisable(GL_NORMALIZE);
    glState.Lighting(false);
}

void BuildRgbPaletteEntries(const platform::PixelFormatDescription& f, uint32_t* entries,
                            int count) {
    auto channel = [](int i, int bits, int shift) -> uint32_t {
        int max = (1 << bits) - 1;
        if (max <= 0) return 0;
        return static_cast<uint32_t>(((i >> shift) & max) * 255 / max);
    };
    for (int i = 0; i < count; ++i)
        entries[i] = channel(i, f.redBits, f.redShift) | channel(i, f.greenBits, f.greenShift) << 8 |
                     channel(i, f.blueBits, f.blueShift) << 16;
}

platform::PaletteHandle OpenGLZadederu::CreateRgbPalette() {
    platform::PixelFormatDescription format;
    if (!platform::DescribePixelFormat(window, format) || !format.needsPalette) return nullptr;
    // Palette formats have at most 8 colour bits; anything larger is no palette.
    if (format.colourBits <= 0 || format.colourBits > 8) return nullptr;
    int count = 1 << format.colourBits;
    std::vector<uint32_t> entries(count);
    BuildRgbPaletteEntries(format, entries.data(), count);
    return platform::RealizeRgbPalette(window, entries.data(), count);
}

void OpenGLZadederu::SetViewport2D(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) {
        width = screenWidth;
        height = screenHeight;
    }
    viewportX = x;
    viewportY = y;
    viewportWidth = width;
    viewportHeight = height;

    glViewport(x, screenHeight - height - y, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, -height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glState.Texturing(0, true);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glState.AlphaTest(true);
    glState.AlphaReference(0.15f);

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_DITHER);
    glDisable(GL_COLOR_MATERIAL);
    DisableUnusedFixedFunctions(glState);

    glState.Colour(1, 1, 1, 1);
    glClearColor(0, 0, 0, 1);
    glShadeModel(GL_FLAT);

    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
    glHint(GL_FOG_HINT, GL_FASTEST);
}

void OpenGLZadederu::ResizeScreen(int width, int height) {
    glState.DepthMayChange();  // the drawable's buffers may be new
    screenWidth = width;
    screenHeight = height;
    SetViewport2D(0, 0, 0, 0);
}

void OpenGLZadederu::ResetViewport() { SetViewport2D(0, 0, 0, 0); }

bool OpenGLZadederu::EnterFullscreen() {
    int desktopBits = platform::DesktopBitsPerPixel();
    int requestBits = (colourDepth != 0 && colourDepth != desktopBits) ? colourDepth : 0;
    bool changed = platform::ChangeDisplayMode(window, screenWidth, screenHeight, requestBits);
    if (!changed) {
        // Once more without the depth request.
        changed = platform::ChangeDisplayMode(window, screenWidth, screenHeight, 0);
        if (changed) {
            colourDepth = desktopBits;
            SetupPixelFormat();
        }
    }
    if (!changed) {
        platform::Beep();
        AppendErrorLog("No Fullscreen Mode available");
        EnterWindowed();
        return false;
    }
    platform::PlaceFullscreen(window, screenWidth, screenHeight);
    glState.DepthMayChange();
    SetViewport2D(0, 0, 0, 0);
    fullscreen = true;
    return true;
}

int OpenGLZadederu::EnterWindowed() {
    if (fullscreen) {
        platform::RestoreDisplayMode(window);
        platform::RestoreWindowPlacements();
        platform::SleepMs(500);
        platform::RestoreWindowPlacements();
    }
    platform::PlaceWindowed(window, screenWidth, screenHeight);
    glState.DepthMayChange();
    SetViewport2D(0, 0, 0, 0);
    fullscreen = false;
    return 1;
}
