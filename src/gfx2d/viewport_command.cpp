// The viewport command of the language.
#include <brindle/gfx2d.h>

#include "core/frame.h"
#include "core/runtime_state.h"
#include "lang/number_convert.h"

void SetViewport(double x, double y, double width, double height) {
    EndShadowVolumePass();
    runtime.renderer.SetViewport2D(TruncToInt(x), TruncToInt(y), TruncToInt(width), TruncToInt(height));
}
