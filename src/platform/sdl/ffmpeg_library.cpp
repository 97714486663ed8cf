#include "platform/sdl/ffmpeg_library.h"

#include <dlfcn.h>

namespace platform::sdl {

namespace {

// The shared-object names of the version the headers describe.
#define BRINDLE_SONAME(stem, major) "lib" stem ".so." AV_STRINGIFY(major)
const char* const kAvformat = BRINDLE_SONAME("avformat", LIBAVFORMAT_VERSION_MAJOR);
const char* const kAvcodec = BRINDLE_SONAME("avcodec", LIBAVCODEC_VERSION_MAJOR);
const char* const kAvutil = BRINDLE_SONAME("avutil", LIBAVUTIL_VERSION_MAJOR);
const char* const kSwscale = BRINDLE_SONAME("swscale", LIBSWSCALE_VERSION_MAJOR);
const char* const kSwresample = BRINDLE_SONAME("swresample", LIBSWRESAMPLE_VERSION_MAJOR);
#undef BRINDLE_SONAME

bool Load(FfmpegCalls& calls) {
    // Kept loaded for the rest of the process.
    void* avformat = dlopen(kAvformat, RTLD_NOW | RTLD_LOCAL);
    void* avcodec = dlopen(kAvcodec, RTLD_NOW | RTLD_LOCAL);
    void* avutil = dlopen(kAvutil, RTLD_NOW | RTLD_LOCAL);
    void* swscale = dlopen(kSwscale, RTLD_NOW | RTLD_LOCAL);
    void* swresample = dlopen(kSwresample, RTLD_NOW | RTLD_LOCAL);
    if (!avformat || !avcodec || !avutil || !swscale || !swresample) return false;
    bool all = true;
#define BRINDLE_FFMPEG_FETCH(library, name)                                   \
    calls.name = reinterpret_cast<decltype(&::name)>(dlsym(library, #name)); \
    all = all && calls.name != nullptr;
    BRINDLE_FFMPEG_CALLS(BRINDLE_FFMPEG_FETCH)
#undef BRINDLE_FFMPEG_FETCH
    return all;
}

}  // namespace

const FfmpegCalls* Ffmpeg() {
    static FfmpegCalls calls;
    static const bool loaded = Load(calls);  // once, whichever thread asks first
    return loaded ? &calls : nullptr;
}

}  // namespace platform::sdl
