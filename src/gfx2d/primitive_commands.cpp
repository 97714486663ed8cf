// The commands of the primitives and the alpha mode. Coordinates go to GL as
// floats; one that is not a finite float draws nothing. Colours are
// truncated to integers.
#include <brindle/gfx2d.h>

#include "core/runtime_state.h"
#include "gfx2d/command_args.h"
#include "gfx2d/primitives.h"

namespace {
OpenGLZadederu& Renderer() { return runtime.renderer; }

bool Coordinates(std::initializer_list<double> values, float* out) {
    for (double v : values)
        if (!DrawableCoordinate(v, *out++)) return false;
    return true;
}
}  // namespace

void SetAlphaMode(double level) { ApplyAlphaMode(Renderer(), ToFloat(level)); }

void ClearScreen() { ClearScreenAndBackground(Renderer()); }

void DrawPoint(double x, double y, double colour) {
    float p[2];
    if (Coordinates({x, y}, p)) PlotPoint(Renderer(), p[0], p[1], TruncToInt(colour));
}

void DrawLine(double x1, double y1, double x2, double y2, double colour) {
    float p[4];
    if (Coordinates({x1, y1, x2, y2}, p)) PlotLine(Renderer(), p[0], p[1], p[2], p[3], TruncToInt(colour));
}

void FillRect(double x1, double y1, double x2, double y2, double colour) {
    float p[4];
    if (!Coordinates({x1, y1, x2, y2}, p)) return;
    if (p[0] > p[2]) std::swap(p[0], p[2]);
    if (p[1] > p[3]) std::swap(p[1], p[3]);
    FillRectangle(Renderer(), p[0], p[1], p[2], p[3], TruncToInt(colour));
}

double GetPixel(double x, double y) { return ReadPixel(Renderer(), TruncToInt(x), TruncToInt(y)); }
