// The media windows of the Linux backend: what an MCI window does, for music
// (SDL2_mixer's music) and video (FFmpeg's libraries, drawn into a child
// window of the main window, its sound added to the shared audio device).
// Times are milliseconds. Errors are MCI's codes.
#pragma once
#include <cstdint>

#include "platform/media_window.h"

namespace platform::sdl {

// MCI's answer for a window without an open device.
constexpr int32_t kMciNoDevice = 257;  // MCIERR_INVALID_DEVICE_ID

class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;
    virtual int32_t Play() = 0;
    virtual void Stop() = 0;
    virtual void SeekToStart() = 0;
    virtual bool Playing() = 0;
    virtual int32_t Length() = 0;
    virtual int32_t Position() = 0;
    virtual MediaRect Source() { return {0, 0, 0, 0}; }
    virtual void SetDestination(const MediaRect&) {}
    virtual void SetWindowSize(int, int) {}
    // Draws what is due into the main window (the main thread, its GL context current).
    virtual void Paint() {}
};

// How the last closed video kept time: pictures shown, and pictures passed
// over because a later one was already due (dropped frames).
struct VideoStatistics {
    long shown = 0, passedOver = 0;
};
VideoStatistics LastVideoStatistics();

MediaPlayer* OpenMusicPlayer(const char* file);
MediaPlayer* OpenVideoPlayer(const char* file);

// The message pump paints the playing videos; the main window's end closes
// every media window, as a parent window takes its children with it.
void PaintMediaWindows();
void CloseMediaWindows();

}  // namespace platform::sdl
