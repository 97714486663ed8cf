// The font and text commands; all text goes out in the current font.
#include <brindle/gfx2d.h>

#include "core/runtime_state.h"
#include "gfx2d/command_args.h"
#include "gfx2d/text.h"

namespace {
// Font numbers are truncated (TruncToInt), then clamped.
int FontArgument(double value) { return ClampFont(TruncToInt(value)); }
}  // namespace

void LoadFont(const RtString& fileName, double font) { LoadFontFile(fileName, FontArgument(font)); }

void SetFont(double font) { runtime.currentFont = FontArgument(font); }

void GetFontSize(double& width, double& height) {
    FontGeometry g = FontGeometryOfSlot(runtime.renderer, runtime.currentFont);
    width = g.cellWidth;
    height = g.cellHeight;
}

void PrintText(const RtString& text, double x, double y) {
    DrawText(runtime.renderer, runtime.currentFont, text.Text(), static_cast<float>(x),
             static_cast<float>(y), 0);
}

void PrintNumber(double number, double x, double y) {
    RtString text(number);
    DrawText(runtime.renderer, runtime.currentFont, text.Text(), static_cast<float>(x),
             static_cast<float>(y), 0);
}

void PrintText3D(const RtString& text, double x, double y, double z, double size) {
    DrawText3D(runtime.renderer, runtime.currentFont, text.Text(), static_cast<float>(x),
               static_cast<float>(y), static_cast<float>(z), static_cast<float>(size));
}
