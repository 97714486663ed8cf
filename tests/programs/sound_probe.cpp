// Sound and media commands run from a script, for the end-to-end tests that
// capture what the audio device played. The command line names the script
// (default "sound-script.txt" in the program's directory); each line is one
// step, and each step's result is written to sound-probe.txt:
//   load FILE SLOT VOICES      LoadSound              -> "load FILE R"
//   play SLOT PAN VOLUME       PlaySound              -> "play SLOT R"
//   stopall                    StopAllSounds
//   idle SLOT                  until no voice of the slot plays (60 s at most)
//   reached SLOT VOICE BYTES   until the voice's play cursor is at BYTES or more
//   status SLOT                "status SLOT S0 S1 S2 S3" (1 = playing, - = no voice)
//   gap MS                     a pause of MS milliseconds between sounds
//   waitfile NAME              until the file exists (the test's go-ahead)
//   music FILE                 PlayMusic              -> "music FILE R"
//   stopmusic                  StopMusic
//   frames MS                  ShowFrame for MS milliseconds (music loops there)
//   video FILE / videoonce FILE  PlayVideo / PlayVideoOnce -> "video FILE MS" (time taken)
//   fill R G B                 a frame of that colour (0 ... 255)
//   mark TEXT                  "mark TEXT" (tells the test where the script is)
// The window is 320 x 240, or the size in BRINDLE_PROBE_WINDOW ("800x480").
// A step that times out writes "timeout ..." and ends the script.
#include <brindle.h>

#include <cstdarg>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "core/runtime_state.h"
#include "core/window.h"
#include "platform/gl.h"
#include "sound/sound_slots.h"

namespace {
GameSettings Settings() {
    GameSettings s = {320, 240, 60, 0, 0, 0, "Sound Probe"};
    if (const char* size = std::getenv("BRINDLE_PROBE_WINDOW")) std::sscanf(size, "%dx%d", &s.windowWidth, &s.windowHeight);
    return s;
}
}  // namespace
const GameSettings gameSettings = Settings();

namespace {

std::FILE* out = nullptr;

void Report(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Report(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(out, format, args);
    va_end(args);
    std::fputc('\n', out);
    std::fflush(out);
}

SoundSlot* Slot(int n) { return n >= 0 && n < kSoundSlotCount ? &runtime.soundSlots[n] : nullptr; }

bool VoicePlaying(platform::SoundBuffer v) {
    uint32_t status = 0;
    return v && platform::GetSoundBufferStatus(v, status) == platform::kSoundOk &&
           (status & platform::kStatusPlaying);
}

uint32_t PlayCursor(platform::SoundBuffer v) {
    uint32_t play = 0, write = 0;
    if (v) platform::GetSoundBufferPosition(v, play, write);
    return play;
}

// Polls `done` every 5 ms (pumping the window) for at most 30 s.
template <typename Done>
bool PollUntil(Done done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        PumpMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace

void GameMain() {
    std::string script = CommandLine().Text();
    if (script.empty()) script = "sound-script.txt";
    out = std::fopen("sound-probe.txt", "wb");
    std::FILE* in = std::fopen(script.c_str(), "rb");
    if (!out || !in) End();
    SoundDevice* device = AwaitSoundDevice();
    Report("device %d", device && device->directSound ? 1 : 0);
    char line[1024];
    while (std::fgets(line, sizeof line, in)) {
        char word[32] = {}, name[512] = {};
        double a = 0, b = 0, c = 0;
        if (std::sscanf(line, "%31s", word) != 1) continue;
        const std::string cmd = word;
        if (cmd == "load" && std::sscanf(line, "%*s %511s %lf %lf", name, &a, &b) == 3) {
            Report("load %s %g", name, LoadSound(name, a, b));
        } else if (cmd == "play" && std::sscanf(line, "%*s %lf %lf %lf", &a, &b, &c) == 3) {
            Report("play %g %g", a, PlaySound(a, b, c));
        } else if (cmd == "stopall") {
            StopAllSounds();
        } else if (cmd == "idle" && std::sscanf(line, "%*s %lf", &a) == 1) {
            SoundSlot* s = Slot(static_cast<int>(a));
            auto idle = [&] {
                for (auto v : s->voices)
                    if (VoicePlaying(v)) return false;
                return true;
            };
            if (!s || !PollUntil(idle)) {
                Report("timeout %s", line);
                break;
            }
        } else if (cmd == "reached" && std::sscanf(line, "%*s %lf %lf %lf", &a, &b, &c) == 3) {
            SoundSlot* s = Slot(static_cast<int>(a));
            const int voice = static_cast<int>(b);
            if (!s || voice < 0 || voice >= kMaxVoices ||
                !PollUntil([&] { return PlayCursor(s->voices[voice]) >= c || !VoicePlaying(s->voices[voice]); })) {
                Report("timeout %s", line);
                break;
            }
        } else if (cmd == "status" && std::sscanf(line, "%*s %lf", &a) == 1) {
            SoundSlot* s = Slot(static_cast<int>(a));
            if (!s) continue;
            std::string text = "status " + std::to_string(static_cast<int>(a));
            for (auto v : s->voices) text += v ? (VoicePlaying(v) ? " 1" : " 0") : " -";
            Report("%s", text.c_str());
        } else if (cmd == "waitfile" && std::sscanf(line, "%*s %511s", name) == 1) {
            auto exists = [&] {
                std::FILE* f = std::fopen(name, "rb");
                if (f) std::fclose(f);
                return f != nullptr;
            };
            if (!PollUntil(exists)) {
                Report("timeout %s", line);
                break;
            }
        } else if (cmd == "music" && std::sscanf(line, "%*s %511s", name) == 1) {
            Report("music %s %g", name, PlayMusic(name));
        } else if (cmd == "stopmusic") {
            StopMusic();
        } else if (cmd == "frames" && std::sscanf(line, "%*s %lf", &a) == 1) {
            const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(static_cast<int>(a));
            while (std::chrono::steady_clock::now() < end) ShowFrame();
        } else if ((cmd == "video" || cmd == "videoonce") && std::sscanf(line, "%*s %511s", name) == 1) {
            const auto start = std::chrono::steady_clock::now();
            if (cmd == "video") PlayVideo(name); else PlayVideoOnce(name);
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
            Report("%s %s %d", word, name, static_cast<int>(ms.count()));
        } else if (cmd == "fill" && std::sscanf(line, "%*s %lf %lf %lf", &a, &b, &c) == 3) {
            runtime.renderer.glState.MakePendingClear();  // the frame's own clear first
            glClearColor(static_cast<float>(a / 255), static_cast<float>(b / 255), static_cast<float>(c / 255), 1);
            glClear(GL_COLOR_BUFFER_BIT);
            ShowFrame();
        } else if (cmd == "mark" && std::sscanf(line, "%*s %511s", name) == 1) {
            Report("mark %s", name);
        } else if (cmd == "gap" && std::sscanf(line, "%*s %lf", &a) == 1) {
            std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<int>(a)));
        } else {
            Report("bad step %s", line);
        }
    }
    std::fclose(in);
    Report("end");
    std::fclose(out);
    End();
}
