// Music and video through the platform's media windows. Music plays in the
// background in `mediaWindow` and is restarted by ShowFrame at its end, so it
// always loops; a video plays in a window of its own that lives only while
// the video command runs, scaled into the main window's client area.
#pragma once
#include "platform/media_window.h"

// The destination of a movie in the client area: scaled with its aspect
// ratio kept and offset towards the centre, and the size of the video window
// (which stays at the client origin).
struct VideoFit {
    platform::MediaRect destination;
    int windowWidth, windowHeight;
};
VideoFit FitVideo(const platform::MediaRect& source, const platform::MediaRect& client);

// Plays a video file (looked up through streamPack) until its end, or with
// `loop` until a key or mouse button; 0 when its window could be made, else 3.
int PlayVideoFile(const char* fileName, bool loop);

// ShowFrame's step: music that reached its end starts again.
void KeepMusicLooping();
