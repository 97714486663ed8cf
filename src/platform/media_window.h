// The seam: a media window playing one music or video file, in the terms of
// Windows' MCI window class (MCIWnd). On Windows it is an MCIWnd child of the
// main window; on Linux a player of the SDL backend (SDL2_mixer's music for
// music; FFmpeg's libraries for video, drawn into the main window at the
// destination rectangle, its sound in the program's audio device). Times
// are in the window's time format (milliseconds on Linux); only their order
// matters to the runtime.
#pragma once
#include <cstdint>

#include "platform/native_window.h"

namespace platform {

struct MediaWindowObject;  // the MCIWnd's HWND on Windows; the player on Linux
using MediaWindow = MediaWindowObject*;

struct MediaRect {
    int32_t left, top, right, bottom;
};

// MCI's error codes that the Linux player gives too.
constexpr int32_t kMciDeviceNotReady = 276;    // nothing open in the window
constexpr int32_t kMciCannotLoadDriver = 266;  // no driver (or decoder) for the file

// An invisible child window of `parent` playing music from `file`, without
// error dialogs; null when no window could be made. A file that cannot be
// played still gets its window (its play command then fails).
MediaWindow CreateMusicWindow(AppInstance instance, NativeWindow parent, const char* file);
// A visible window over the client origin of `parent` (a child window, or an
// owned pop-up where child windows would be hidden) playing the video
// `file`, without error dialogs; null when it could not be made.
MediaWindow CreateVideoWindow(AppInstance instance, NativeWindow parent, const char* file);

// MCI_PLAY from the current position: 0 when playing started, else an MCI error code.
int32_t MediaPlay(MediaWindow window);
// MCI_STOP; the position stays.
void MediaStop(MediaWindow window);
// MCI_SEEK to the start.
void MediaSeekToStart(MediaWindow window);
// WM_CLOSE: the device is closed and the window destroyed; the handle is gone.
void MediaClose(MediaWindow window);

// Whether the window's device plays (MCIWNDM_GETMODE).
bool MediaPlaying(MediaWindow window);
int32_t MediaStart(MediaWindow window);     // MCIWNDM_GETSTART
int32_t MediaLength(MediaWindow window);    // MCIWNDM_GETLENGTH
int32_t MediaPosition(MediaWindow window);  // MCIWNDM_GETPOSITION; the end once played through
// The movie's source rectangle (MCIWNDM_GET_SOURCE); its height is negative
// for top-down pictures on Windows.
MediaRect MediaSource(MediaWindow window);
// Where in the window the movie is drawn (MCIWNDM_PUT_DEST).
void MediaPutDestination(MediaWindow window, const MediaRect& destination);
// New size for the window; it keeps its position, order and activation.
void ResizeMediaWindow(MediaWindow window, int width, int height);

// The client rectangle of a window (origin 0, 0).
MediaRect ClientRectangle(NativeWindow window);

}  // namespace platform
