// FFmpeg's libraries, loaded when the first video is opened rather than with
// the program: linked in, they and the hundred libraries they bring (codecs,
// network, subtitles) are loaded and relocated at every start, about half of
// a game's start-up time to its first frame, for programs that mostly never
// play a video. The calls the video player makes are fetched by name from
// the libraries of the FFmpeg version the runtime was built with.
#pragma once
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace platform::sdl {

// Every FFmpeg call the video player makes, with the library it is in.
#define BRINDLE_FFMPEG_CALLS(X)                   \
    X(avformat, avformat_open_input)              \
    X(avformat, avformat_find_stream_info)        \
    X(avformat, avformat_close_input)             \
    X(avformat, av_find_best_stream)              \
    X(avformat, av_read_frame)                    \
    X(avformat, av_seek_frame)                    \
    X(avcodec, avcodec_alloc_context3)            \
    X(avcodec, avcodec_parameters_to_context)     \
    X(avcodec, avcodec_open2)                     \
    X(avcodec, avcodec_free_context)              \
    X(avcodec, avcodec_flush_buffers)             \
    X(avcodec, avcodec_send_packet)               \
    X(avcodec, avcodec_receive_frame)             \
    X(avcodec, av_packet_alloc)                   \
    X(avcodec, av_packet_free)                    \
    X(avcodec, av_packet_unref)                   \
    X(avutil, av_frame_alloc)                     \
    X(avutil, av_frame_free)                      \
    X(avutil, av_frame_unref)                     \
    X(avutil, av_rescale_q)                       \
    X(swscale, sws_getContext)                    \
    X(swscale, sws_scale)                         \
    X(swscale, sws_freeContext)                   \
    X(swresample, swr_alloc_set_opts2)            \
    X(swresample, swr_init)                       \
    X(swresample, swr_get_out_samples)            \
    X(swresample, swr_convert)                    \
    X(swresample, swr_free)

struct FfmpegCalls {
#define BRINDLE_FFMPEG_POINTER(library, name) decltype(&::name) name;
    BRINDLE_FFMPEG_CALLS(BRINDLE_FFMPEG_POINTER)
#undef BRINDLE_FFMPEG_POINTER
};

// The calls, every one of them found; null when a library or a call is
// missing (then no video opens). The first call loads the libraries (any
// thread; later calls only read).
const FfmpegCalls* Ffmpeg();

}  // namespace platform::sdl
