#include "sound/media_playback.h"

#include <brindle/sound.h>

#include <cstdlib>

#include "core/runtime_state.h"
#include "core/window.h"
#include "input/input_devices.h"
#include "input/mouse.h"
#include "input/typed_chars.h"
#include "lang/number_convert.h"
#include "media/media_pack.h"
#include "platform/system.h"

using namespace platform;

namespace {

// Input that skips a video: a typed character or a held mouse button.
bool SkipInput() {
    if (!runtime.input) return false;
    return KeyTyped(*runtime.input) != 0 || AnyMouseButton(*runtime.input);
}

// A key still held when a video starts (one that gives no character, or
// whose character was reported already) delays it as well.
bool AnyKeyHeld() {
    if (!runtime.input) return false;
    InputRefresh(*runtime.input);
    for (int code = 1; code < 255; ++code)
        if (KeyHeld(*runtime.input, code)) return true;
    return false;
}

}  // namespace

void StopMusic() {
    if (!runtime.mediaWindow) return;
    MediaStop(runtime.mediaWindow);
    MediaClose(runtime.mediaWindow);
    runtime.mediaWindow = nullptr;
}

double PlayMusic(const RtString& fileName) {
    StopMusic();  // before the lookup: a missing new file leaves no music
    RtString resolved;
    if (!ResolveMediaFile(runtime.streamPack, fileName, resolved)) return 0;
    runtime.mediaWindow = CreateMusicWindow(runtime.appInstance, runtime.mainWindow, resolved.Text());
    // No window at all: MCI's answer for a window without a device.
    if (!runtime.mediaWindow) return kMciDeviceNotReady;
    return MediaPlay(runtime.mediaWindow);
}

namespace {
// The end of the media: the position there, or the device no longer playing
// (some devices stop on their last frame, short of the length).
bool AtEnd(MediaWindow w, int32_t position, int32_t end) { return position >= end || !MediaPlaying(w); }
}  // namespace

void KeepMusicLooping() {
    MediaWindow w = runtime.mediaWindow;
    if (w && AtEnd(w, MediaPosition(w), MediaLength(w))) {
        MediaSeekToStart(w);
        MediaPlay(w);
    }
}

VideoFit FitVideo(const MediaRect& source, const MediaRect& client) {
    // Top-down pictures report a negative height: the movie's size is the
    // magnitude (the fit must neither mirror nor divide by it as it is).
    const double width = std::abs(static_cast<double>(source.right) - source.left);
    const double height = std::abs(static_cast<double>(source.bottom) - source.top);
    const int clientWidth = client.right - client.left, clientHeight = client.bottom - client.top;
    VideoFit fit;
    if (width <= 0 || height <= 0) {
        // Nothing to scale (a file without pictures): the whole client area.
        fit.destination = {0, 0, clientWidth, clientHeight};
    } else {
        const double f = std::min(clientHeight / height, clientWidth / width);
        MediaRect d = {0, 0, TruncToInt(f * width), client.top + TruncToInt(f * height)};
        const int dx = (clientWidth - d.right) / 2, dy = (clientHeight - d.bottom) / 2;
        fit.destination = {d.left + dx, d.top + dy, d.right + dx, d.bottom + dy};
    }
    // The window keeps its place at the client origin and reaches to the
    // destination's far corner, so the centred movie is seen whole.
    fit.windowWidth = fit.destination.right;
    fit.windowHeight = fit.destination.bottom;
    return fit;
}

int PlayVideoFile(const char* fileName, bool loop) {
    char resolved[kResolvedNameSize];
    if (!ResolveMediaFile(runtime.streamPack, fileName, resolved)) return 3;
    MediaWindow w = CreateVideoWindow(runtime.appInstance, runtime.mainWindow, resolved);
    if (!w) return 3;
    const int32_t end = MediaStart(w) + MediaLength(w);
    const VideoFit fit = FitVideo(MediaSource(w), ClientRectangle(runtime.mainWindow));
    MediaPutDestination(w, fit.destination);
    ResizeMediaWindow(w, fit.windowWidth, fit.windowHeight);

    // The key or click that started the video does not skip it.
    while (SkipInput() || AnyKeyHeld()) {
        PumpMessages();
        SleepMs(1);
    }
    if (MediaPlay(w) == 0 && end > 0) {
        for (;;) {
            const int32_t position = MediaPosition(w);
            if (SkipInput()) break;
            PumpMessages();  // a close request ends the program here
            if (!AtEnd(w, position, end)) {
                // still playing
            } else if (loop) {
                MediaSeekToStart(w);
                MediaPlay(w);
            } else {
                break;
            }
            SleepMs(1);  // the media layer plays on its own; leave it the processor
        }
    }
    MediaStop(w);
    MediaClose(w);
    return 0;
}

void PlayVideo(const RtString& fileName) { PlayVideoFile(fileName.Text(), true); }
void PlayVideoOnce(const RtString& fileName) { PlayVideoFile(fileName.Text(), false); }
