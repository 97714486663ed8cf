// Music on Linux: SDL2_mixer's music stream (WAV, Ogg Vorbis, MP3, FLAC,
// tracker modules, MIDI where a synthesiser is installed) in the shared
// audio device, with the MCI window's commands: play from the position,
// stop where it is, seek to the start; at its end it stays there.
#include <SDL_mixer.h>

#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_media.h"

namespace platform::sdl {

namespace {

// The runtime has one music window at a time (the old one is closed before
// the next is made), so SDL2_mixer's one music stream is this player's.
class MusicPlayer final : public MediaPlayer {
public:
    explicit MusicPlayer(const char* file) {
        device_ = AcquireAudioDevice();
        if (device_) music_ = Mix_LoadMUS(file);
        if (music_) {
            const double seconds = Mix_MusicDuration(music_);
            length_ = seconds > 0 ? static_cast<int32_t>(seconds * 1000) : 0;
        }
    }

    ~MusicPlayer() override {
        if (music_) {
            Mix_HaltMusic();
            Mix_FreeMusic(music_);
        }
        if (device_) ReleaseAudioDevice();
    }

    int32_t Play() override {
        if (!music_) return kMciNoDevice;
        if (Mix_PausedMusic()) {
            Mix_ResumeMusic();
        } else if (!Mix_PlayingMusic() && Mix_PlayMusic(music_, 1) != 0) {
            return kMciCannotLoadDriver;
        }
        started_ = true;
        return 0;
    }

    void Stop() override {
        if (Mix_PlayingMusic()) Mix_PauseMusic();
    }

    void SeekToStart() override {
        if (Mix_PlayingMusic()) {
            Mix_RewindMusic();
        } else {
            started_ = false;  // back at the start: the next play begins there
        }
    }

    bool Playing() override { return music_ && Mix_PlayingMusic() && !Mix_PausedMusic(); }

    int32_t Length() override { return length_; }

    int32_t Position() override {
        if (!music_ || !started_) return 0;
        if (!Mix_PlayingMusic()) return length_;  // played through: the end, as MCI reports it
        const double seconds = Mix_GetMusicPosition(music_);
        const int32_t ms = seconds > 0 ? static_cast<int32_t>(seconds * 1000) : 0;
        return ms < length_ ? ms : length_;
    }

private:
    bool device_ = false;
    Mix_Music* music_ = nullptr;
    int32_t length_ = 0;
    bool started_ = false;  // played since the last return to the start
};

}  // namespace

MediaPlayer* OpenMusicPlayer(const char* file) { return new MusicPlayer(file); }

}  // namespace platform::sdl
