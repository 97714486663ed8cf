// Typed characters and the on-screen line editor.
#include <brindle/core.h>
#include <brindle/input.h>
#include <brindle/strings.h>

#include "core/runtime_state.h"
#include "gfx2d/backgrounds.h"
#include "gfx2d/text.h"
#include "input/typed_chars.h"
#include "lang/number_convert.h"

namespace {
constexpr int kEditorBuffer = 3;  // the line editor keeps the screen behind the text here
constexpr int kCursorFrames = 20;  // the cursor flips after 21 idle frames

int TakeTypedChar() { return runtime.input ? NextTypedChar(*runtime.input) : 0; }
}  // namespace

RtString TypedChar() {
    const char text[2] = {static_cast<char>(TakeTypedChar()), '\0'};
    return RtString(text);
}

void ReadTextLine(RtString& text, double x, double y) {
    OpenGLZadederu& r = runtime.renderer;
    GrabScreenToBackground(r, kEditorBuffer);
    DrawBackground(r, kEditorBuffer);
    RtString shown = text;
    bool cursor = false;
    int idle = 0;
    for (;;) {
        DrawText(r, runtime.currentFont, shown.Text(), ToFloat(x), ToFloat(y), 0);
        ShowFrame();
        const int c = TakeTypedChar();
        if (c == 10) break;
        if (c == 8) {
            if (text.length() > 0) text.Truncate(text.length() - 1);
        } else if (c != 0) {
            const char typed[2] = {static_cast<char>(c), '\0'};
            text.Append(typed);
        } else if (++idle > kCursorFrames) {
            idle = 0;
            cursor = !cursor;
        }
        DrawBackground(r, kEditorBuffer);
        shown = cursor ? RtString::Concat(text, "_") : text;
        x = TruncToInt(x);
        y = TruncToInt(y);
    }
    FreeBackground(r, kEditorBuffer);
}

void ReadNumberLine(double& number, double x, double y) {
    RtString text;
    ReadTextLine(text, x, y);
    number = TextToNumber(text);
}
