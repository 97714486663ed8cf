// Video on Linux: FFmpeg's libraries decode the file on a worker thread (a
// few pictures and about a second of sound ahead); the sound is added to the
// shared audio device. The video window is, as an MCI window, a window of
// its own at the main window's client origin, so the game's last frame stays
// around it: on X11 a child window of the main window, elsewhere a
// borderless pop-up over it. The message pump draws the picture that is due
// into it at the destination rectangle, the rest of it white like an MCI
// window. The clock is the wall clock while playing, so pictures keep their
// times on a busy machine (late ones are passed over rather than shown late).
extern "C" {
#include <libavutil/channel_layout.h>
}
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/sdl/ffmpeg_library.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_media.h"

namespace platform::sdl {

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kMaxPictures = 12;
constexpr size_t kMaxAudioSamples = 2 * kAudioRate * kAudioChannels;  // two seconds

VideoStatistics lastStatistics;  // main thread only

struct Picture {
    int64_t ms;  // when it is shown
    std::vector<uint8_t> rgba;
};

class VideoPlayer final : public MediaPlayer, public MixSource {
public:
    explicit VideoPlayer(const char* file) {
        opened_ = Open(file);
        if (!opened_) return;
        if (audio_) audioDevice_ = AcquireAudioDevice();
        if (audioDevice_) AddMixSource(this);
        worker_ = std::thread([this] { Run(); });
    }

    ~VideoPlayer() override {
        if (worker_.joinable()) {
            {
                std::lock_guard<std::mutex> g(lock_);
                quit_ = true;
            }
            wake_.notify_all();
            worker_.join();
        }
        if (audioDevice_) {
            RemoveMixSource(this);
            ReleaseAudioDevice();
        }
        CloseWindow();
        lastStatistics = {shownCount_, passedOver_};
        if (!ff_) return;  // nothing was made
        ff_->sws_freeContext(scale_);
        ff_->swr_free(&resample_);
        ff_->avcodec_free_context(&video_);
        ff_->avcodec_free_context(&audio_);
        ff_->avformat_close_input(&format_);
    }

    int32_t Play() override {
        if (!opened_) return kMciNoDevice;
        if (!playing_) {
            playing_ = true;
            playStart_ = Clock::now();
            audioPlaying_ = true;
        }
        return 0;
    }

    void Stop() override {
        if (!playing_) return;
        clockBase_ += ElapsedMs();
        playing_ = false;
        audioPlaying_ = false;
    }

    void SeekToStart() override {
        if (!opened_) return;
        {
            std::lock_guard<std::mutex> g(lock_);
            seek_ = true;
            pictures_.clear();
        }
        {
            std::lock_guard<std::mutex> g(audioLock_);
            samples_.clear();
            samplesRead_ = 0;
        }
        wake_.notify_all();
        clockBase_ = 0;
        playStart_ = Clock::now();
        ended_ = false;
        shownMs_ = -1;
    }

    bool Playing() override {
        CheckEnd();
        return playing_ && !ended_;
    }

    int32_t Length() override { return length_; }

    int32_t Position() override {
        CheckEnd();
        if (ended_) return length_;
        const int64_t ms = ClockMs();
        return static_cast<int32_t>(ms < length_ ? ms : length_);
    }

    MediaRect Source() override { return {0, 0, width_, height_}; }
    void SetDestination(const MediaRect& d) override {
        destination_ = d;
        repaint_ = true;
    }
    void SetWindowSize(int w, int h) override {
        windowWidth_ = w;
        windowHeight_ = h;
        repaint_ = true;
    }

    void Paint() override {
        if (!video_) return;
        const int64_t now = ClockMs();
        bool fresh = false;
        {
            std::lock_guard<std::mutex> g(lock_);
            if (seek_) return;
            // The latest picture that is due; earlier ones are passed over.
            while (!pictures_.empty() && pictures_.front().ms <= now) {
                if (fresh) ++passedOver_;
                shown_.swap(pictures_.front().rgba);
                shownMs_ = pictures_.front().ms;
                pictures_.pop_front();
                fresh = true;
            }
        }
        if (fresh) {
            wake_.notify_all();
            ++shownCount_;
        }
        if ((fresh || repaint_) && !shown_.empty()) Draw(fresh);
        repaint_ = false;
    }

    void MixInto(int16_t* stream, int frames) override {
        if (!audioPlaying_) return;
        std::lock_guard<std::mutex> g(audioLock_);
        const size_t available = samples_.size() - samplesRead_;
        size_t n = static_cast<size_t>(frames) * kAudioChannels;
        if (n > available) n = available;
        const int16_t* from = samples_.data() + samplesRead_;
        for (size_t i = 0; i < n; ++i) {
            const int v = stream[i] + from[i];
            stream[i] = static_cast<int16_t>(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
        }
        samplesRead_ += n;
    }

private:
    bool Open(const char* file) {
        if (!ff_) return false;  // FFmpeg's libraries are missing: no video plays
        if (ff_->avformat_open_input(&format_, file, nullptr, nullptr) != 0) return false;
        if (ff_->avformat_find_stream_info(format_, nullptr) < 0) return false;
        const AVCodec* codec = nullptr;
        videoStream_ = ff_->av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
        if (videoStream_ >= 0 && !OpenDecoder(videoStream_, codec, video_)) videoStream_ = -1;
        const AVCodec* audioCodec = nullptr;
        audioStream_ = ff_->av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, &audioCodec, 0);
        if (audioStream_ >= 0 && !OpenDecoder(audioStream_, audioCodec, audio_)) audioStream_ = -1;
        if (!video_ && !audio_) return false;
        if (video_) {
            width_ = video_->width;
            height_ = video_->height;
            if (width_ <= 0 || height_ <= 0) return false;
            scale_ = ff_->sws_getContext(width_, height_, video_->pix_fmt, width_, height_, AV_PIX_FMT_RGBA, SWS_BILINEAR,
                                    nullptr, nullptr, nullptr);
            if (!scale_) return false;
        }
        if (audio_) {
            // A mono track is resampled as it is and then copied into both
            // channels at its own level, as Windows plays it: the
            // resampler's own mono-to-stereo mix lowers it by 3 dB.
            monoSource_ = audio_->ch_layout.nb_channels == 1;
            AVChannelLayout out = AV_CHANNEL_LAYOUT_STEREO;
            if (monoSource_) out = AV_CHANNEL_LAYOUT_MONO;
            if (ff_->swr_alloc_set_opts2(&resample_, &out, AV_SAMPLE_FMT_S16, kAudioRate, &audio_->ch_layout,
                                    audio_->sample_fmt, audio_->sample_rate, 0, nullptr) < 0 ||
                ff_->swr_init(resample_) < 0) {
                ff_->avcodec_free_context(&audio_);
                audioStream_ = -1;
            }
        }
        // The length: the container's, else the longest stream's.
        int64_t us = format_->duration > 0 ? format_->duration : 0;
        for (int s : {videoStream_, audioStream_}) {
            if (s < 0 || us > 0) continue;
            const AVStream* st = format_->streams[s];
            if (st->duration > 0) us = ff_->av_rescale_q(st->duration, st->time_base, AVRational{1, 1000000});
        }
        length_ = static_cast<int32_t>(us / 1000);
        return true;
    }

    bool OpenDecoder(int stream, const AVCodec* codec, AVCodecContext*& context) {
        if (!codec) return false;
        context = ff_->avcodec_alloc_context3(codec);
        if (!context || ff_->avcodec_parameters_to_context(context, format_->streams[stream]->codecpar) < 0) {
            ff_->avcodec_free_context(&context);
            return false;
        }
        context->thread_count = 0;  // FFmpeg's choice, as its own tools make it
        if (ff_->avcodec_open2(context, codec, nullptr) != 0) {
            ff_->avcodec_free_context(&context);
            return false;
        }
        return true;
    }

    // The worker: reads and decodes ahead while there is room.
    void Run() {
        AVPacket* packet = ff_->av_packet_alloc();
        AVFrame* frame = ff_->av_frame_alloc();
        std::unique_lock<std::mutex> lk(lock_);
        while (!quit_ && packet && frame) {
            if (seek_) {
                lk.unlock();
                ff_->av_seek_frame(format_, -1, 0, AVSEEK_FLAG_BACKWARD);
                if (video_) ff_->avcodec_flush_buffers(video_);
                if (audio_) ff_->avcodec_flush_buffers(audio_);
                lk.lock();
                pictures_.clear();
                drained_ = false;
                seek_ = false;
                lastPictureEnd_ = 0;
                continue;
            }
            if (drained_ || pictures_.size() >= kMaxPictures || AudioFull()) {
                wake_.wait_for(lk, std::chrono::milliseconds(20));
                continue;
            }
            lk.unlock();
            const bool more = ff_->av_read_frame(format_, packet) >= 0;
            if (!more) {
                // The end: what the decoders still hold.
                if (video_) Decode(video_, nullptr, frame);
                if (audio_) Decode(audio_, nullptr, frame);
            } else {
                if (packet->stream_index == videoStream_) Decode(video_, packet, frame);
                if (packet->stream_index == audioStream_) Decode(audio_, packet, frame);
                ff_->av_packet_unref(packet);
            }
            lk.lock();
            if (!more) drained_ = true;
        }
        ff_->av_frame_free(&frame);
        ff_->av_packet_free(&packet);
    }

    bool AudioFull() {
        std::lock_guard<std::mutex> g(audioLock_);
        return samples_.size() - samplesRead_ >= kMaxAudioSamples;
    }

    void Decode(AVCodecContext* decoder, const AVPacket* packet, AVFrame* frame) {
        if (ff_->avcodec_send_packet(decoder, packet) < 0 && packet) return;
        while (ff_->avcodec_receive_frame(decoder, frame) == 0) {
            if (decoder == video_) {
                AddPicture(frame);
            } else if (audioDevice_) {
                AddSound(frame);
            }
            ff_->av_frame_unref(frame);
        }
        if (!packet) ff_->avcodec_flush_buffers(decoder);  // ready for a seek after the end
    }

    void AddPicture(const AVFrame* frame) {
        if (frame->width != width_ || frame->height != height_) return;  // not what the scaler was made for
        const AVStream* st = format_->streams[videoStream_];
        const int64_t pts = frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : 0;
        const int64_t start = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
        Picture p;
        p.ms = ff_->av_rescale_q(pts - start, st->time_base, AVRational{1, 1000});
        p.rgba.resize(static_cast<size_t>(width_) * height_ * 4);
        uint8_t* planes[1] = {p.rgba.data()};
        int strides[1] = {width_ * 4};
        ff_->sws_scale(scale_, frame->data, frame->linesize, 0, height_, planes, strides);
        int64_t duration = ff_->av_rescale_q(frame->pkt_duration, st->time_base, AVRational{1, 1000});
        if (duration <= 0 && st->avg_frame_rate.num > 0) duration = 1000LL * st->avg_frame_rate.den / st->avg_frame_rate.num;
        std::lock_guard<std::mutex> g(lock_);
        if (seek_) return;
        lastPictureEnd_ = std::max(lastPictureEnd_, p.ms + duration);
        pictures_.push_back(std::move(p));
    }

    void AddSound(const AVFrame* frame) {
        const int room = ff_->swr_get_out_samples(resample_, frame->nb_samples);
        if (room <= 0) return;
        std::vector<int16_t> out(static_cast<size_t>(room) * kAudioChannels);
        uint8_t* planes[1] = {reinterpret_cast<uint8_t*>(out.data())};
        const int n = ff_->swr_convert(resample_, planes, room, const_cast<const uint8_t**>(frame->extended_data),
                                  frame->nb_samples);
        if (n <= 0) return;
        if (monoSource_) {
            // In place from the end: sample i goes to 2i and 2i + 1.
            for (size_t i = static_cast<size_t>(n); i-- > 0;) out[2 * i] = out[2 * i + 1] = out[i];
        }
        std::lock_guard<std::mutex> g(audioLock_);
        if (samplesRead_ > kMaxAudioSamples) {
            samples_.erase(samples_.begin(), samples_.begin() + static_cast<std::ptrdiff_t>(samplesRead_));
            samplesRead_ = 0;
        }
        samples_.insert(samples_.end(), out.begin(), out.begin() + static_cast<std::ptrdiff_t>(n) * kAudioChannels);
    }

    int64_t ElapsedMs() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - playStart_).count();
    }
    int64_t ClockMs() const { return clockBase_ + (playing_ ? ElapsedMs() : 0); }

    // Played through: every picture read, decoded and shown for its time,
    // and the sound played out.
    void CheckEnd() {
        if (!playing_ || ended_ || !opened_) return;
        bool done;
        int64_t end;
        {
            std::lock_guard<std::mutex> g(lock_);
            done = drained_ && pictures_.empty() && !seek_;
            end = std::max<int64_t>(lastPictureEnd_, length_);
        }
        if (done && audioDevice_) {
            std::lock_guard<std::mutex> g(audioLock_);
            done = samplesRead_ >= samples_.size();
        }
        if (done && ClockMs() >= end) {
            ended_ = true;
            Stop();
        }
    }

    // The video window: an X child window of the main window where there
    // is one (it never takes the focus, and the parent's drawing leaves it
    // alone), else a borderless pop-up over the client origin.
    bool MakeWindow() {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (SDL_GetWindowWMInfo(MainWindow(), &info) && info.subsystem == SDL_SYSWM_X11) {
            display_ = info.info.x11.display;
            child_ = XCreateSimpleWindow(display_, info.info.x11.window, 0, 0, windowWidth_, windowHeight_, 0, 0,
                                         WhitePixel(display_, DefaultScreen(display_)));
            // Mapped only once SDL has taken it: SDL gives the input focus to
            // a mapped window it shows (without a window manager).
            window_ = SDL_CreateWindowFrom(reinterpret_cast<const void*>(child_));
            XMapRaised(display_, child_);
            XFlush(display_);
        } else {
            int x = 0, y = 0;
            SDL_GetWindowPosition(MainWindow(), &x, &y);
            window_ = SDL_CreateWindow("", x, y, windowWidth_, windowHeight_,
                                       SDL_WINDOW_BORDERLESS | SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR |
                                           SDL_WINDOW_ALWAYS_ON_TOP);
            SDL_SetWindowInputFocus(MainWindow());
        }
        // The software renderer draws into the window's surface. Left to
        // itself SDL backs that surface with an OpenGL texture and a context
        // of its own, which stays current when the window closes and leaves
        // the game's context unbound: no frame after the video would show.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        if (window_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        if (renderer_)
            texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STREAMING, width_,
                                         height_);
        madeWidth_ = windowWidth_;
        madeHeight_ = windowHeight_;
        return texture_ != nullptr;
    }

    void CloseWindow() {
        if (texture_) SDL_DestroyTexture(texture_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (window_) SDL_DestroyWindow(window_);
        if (child_) {
            XDestroyWindow(display_, child_);
            XFlush(display_);
        }
        texture_ = nullptr;
        renderer_ = nullptr;
        window_ = nullptr;
        child_ = 0;
    }

    void Draw(bool upload) {
        if (windowWidth_ <= 0 || windowHeight_ <= 0) return;
        if (window_ && (madeWidth_ != windowWidth_ || madeHeight_ != windowHeight_)) CloseWindow();
        if (!window_) {
            if (!MakeWindow()) return;
            upload = true;
        }
        if (upload) SDL_UpdateTexture(texture_, nullptr, shown_.data(), width_ * 4);
        SDL_SetRenderDrawColor(renderer_, 255, 255, 255, 255);
        SDL_RenderClear(renderer_);
        const SDL_Rect d = {destination_.left, destination_.top, destination_.right - destination_.left,
                            destination_.bottom - destination_.top};
        SDL_RenderCopy(renderer_, texture_, nullptr, &d);
        SDL_RenderPresent(renderer_);
    }

    const FfmpegCalls* ff_ = Ffmpeg();
    bool opened_ = false;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* video_ = nullptr;
    AVCodecContext* audio_ = nullptr;
    int videoStream_ = -1, audioStream_ = -1;
    SwsContext* scale_ = nullptr;
    SwrContext* resample_ = nullptr;
    bool monoSource_ = false;  // the sound track has one channel
    int width_ = 0, height_ = 0;
    int32_t length_ = 0;
    bool audioDevice_ = false;

    // Shared with the worker, under lock_.
    std::thread worker_;
    std::mutex lock_;
    std::condition_variable wake_;
    bool quit_ = false, seek_ = false, drained_ = false;
    std::deque<Picture> pictures_;
    int64_t lastPictureEnd_ = 0;

    // Sound for the audio thread, under audioLock_.
    std::mutex audioLock_;
    std::vector<int16_t> samples_;
    size_t samplesRead_ = 0;
    std::atomic<bool> audioPlaying_{false};

    // The main thread's.
    bool playing_ = false, ended_ = false;
    int64_t clockBase_ = 0;
    Clock::time_point playStart_;
    MediaRect destination_ = {0, 0, 0, 0};
    int windowWidth_ = 0, windowHeight_ = 0;
    bool repaint_ = false;
    std::vector<uint8_t> shown_;
    int64_t shownMs_ = -1;
    long shownCount_ = 0, passedOver_ = 0;
    Display* display_ = nullptr;
    Window child_ = 0;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int madeWidth_ = 0, madeHeight_ = 0;
};

}  // namespace

VideoStatistics LastVideoStatistics() { return lastStatistics; }

MediaPlayer* OpenVideoPlayer(const char* file) { return new VideoPlayer(file); }

}  // namespace platform::sdl
