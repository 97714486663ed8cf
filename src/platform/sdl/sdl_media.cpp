// The media-window seam on Linux: the players behind the handles, and the
// open windows that the message pump paints and the main window closes.
#include "platform/sdl/sdl_media.h"

#include <algorithm>
#include <vector>

#include "platform/sdl/sdl_backend.h"

namespace platform {

namespace {
std::vector<sdl::MediaPlayer*> openPlayers;

sdl::MediaPlayer* Player(MediaWindow w) { return reinterpret_cast<sdl::MediaPlayer*>(w); }
MediaWindow Handle(sdl::MediaPlayer* p) {
    if (p) openPlayers.push_back(p);
    return reinterpret_cast<MediaWindow>(p);
}
}  // namespace

void sdl::PaintMediaWindows() {
    for (MediaPlayer* p : openPlayers) p->Paint();
}

void sdl::CloseMediaWindows() {
    for (MediaPlayer* p : openPlayers) delete p;
    openPlayers.clear();
}

MediaWindow CreateMusicWindow(AppInstance, NativeWindow, const char* file) {
    return Handle(sdl::OpenMusicPlayer(file));
}

MediaWindow CreateVideoWindow(AppInstance, NativeWindow parent, const char* file) {
    return parent ? Handle(sdl::OpenVideoPlayer(file)) : nullptr;
}

int32_t MediaPlay(MediaWindow w) { return Player(w)->Play(); }
void MediaStop(MediaWindow w) { Player(w)->Stop(); }
void MediaSeekToStart(MediaWindow w) { Player(w)->SeekToStart(); }

void MediaClose(MediaWindow w) {
    sdl::MediaPlayer* p = Player(w);
    openPlayers.erase(std::remove(openPlayers.begin(), openPlayers.end(), p), openPlayers.end());
    delete p;
}

bool MediaPlaying(MediaWindow w) { return Player(w)->Playing(); }
int32_t MediaStart(MediaWindow) { return 0; }
int32_t MediaLength(MediaWindow w) { return Player(w)->Length(); }
int32_t MediaPosition(MediaWindow w) { return Player(w)->Position(); }
MediaRect MediaSource(MediaWindow w) { return Player(w)->Source(); }
void MediaPutDestination(MediaWindow w, const MediaRect& d) { Player(w)->SetDestination(d); }
void ResizeMediaWindow(MediaWindow w, int width, int height) { Player(w)->SetWindowSize(width, height); }

MediaRect ClientRectangle(NativeWindow window) {
    int w = 0, h = 0;
    if (window) SDL_GetWindowSize(sdl::Win(window), &w, &h);
    return {0, 0, w, h};
}

}  // namespace platform
