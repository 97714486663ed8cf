// The slot and voice model on the real audio device of the target (SDL's
// disk driver on Linux, Wine's DirectSound over ALSA's null device; see
// tests/CMakeLists.txt), through the commands and the voices' own status
// and cursors.
#include <gtest/gtest.h>

#include <brindle/sound.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "core/runtime_state.h"
#include "sound/sound_slots.h"
#include "support/test_runtime.h"
#include "wav_files.h"

namespace {

using namespace platform;

// 60 s of 8-bit mono at 8000 Hz: long enough to play through every check,
// even on a device that runs faster than real time.
const std::string& LongSound() {
    static const std::string path = [] {
        std::string p = ScratchFile("long.wav");
        WriteBytes(p, MakeWav(1, 8000, 8, 8000 * 60));
        return p;
    }();
    return path;
}

SoundSlot& Slot(int n) { return runtime.soundSlots[n]; }

bool Playing(SoundBuffer v) {
    uint32_t status = 0;
    return v && GetSoundBufferStatus(v, status) == kSoundOk && (status & kStatusPlaying);
}

uint32_t Cursor(SoundBuffer v) {
    uint32_t play = 0, write = 0;
    GetSoundBufferPosition(v, play, write);
    return play;
}

// Polls until the voice's play cursor reaches `bytes` (30 s at most).
bool Reaches(SoundBuffer v, uint32_t bytes) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (Cursor(v) < bytes) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class SoundSlots : public ::testing::Test {
protected:
    void SetUp() override {
        StartTestRuntime();
        SoundDevice* device = AwaitSoundDevice();
        ASSERT_NE(device, nullptr);
        ASSERT_NE(device->directSound, nullptr) << "no audio device";
        EXPECT_EQ(device->caps.size, 96u);
    }
    void TearDown() override { StopAllSounds(); }
};

TEST_F(SoundSlots, LoadingFillsVoicesAndEmptiesTheSlotOnFailure) {
    const std::string bad = ScratchFile("bad.wav");
    WriteBytes(bad, MakeWav(3, 22050, 16, 12));
    // Rates outside 100 .. 200000 Hz are refused alike on both targets.
    const std::string slow = ScratchFile("50hz.wav"), fast = ScratchFile("250khz.wav");
    const std::string slowest = ScratchFile("100hz.wav"), fastest = ScratchFile("200khz.wav");
    WriteBytes(slow, MakeWav(1, 50, 8, 100));
    WriteBytes(fast, MakeWav(1, 250000, 16, 1000));
    WriteBytes(slowest, MakeWav(1, 100, 8, 100));
    WriteBytes(fastest, MakeWav(2, 200000, 16, 1000));
    struct {
        const std::string& file;
        double slot, voices;
        double result;
        int filledSlot, voiceCount;
    } cases[] = {
        {LongSound(), 3, 0, 1, 3, 1},     {LongSound(), 3, 9, 1, 3, 4},  {LongSound(), 300, 2.9, 1, 127, 2},
        {LongSound(), 5, -7, 1, 5, 1},    {bad, 3, 4, 0, 3, 0},          {ScratchFile("missing.wav"), 5, 4, 0, 5, 1},
        {LongSound(), -1, 4, 0, -1, 0},   {LongSound(), NAN, 4, 0, -1, 0},
        {slow, 6, 1, 0, 6, 0},            {fast, 6, 1, 0, 6, 0},         {slowest, 6, 1, 1, 6, 1},
        {fastest, 7, 2, 1, 7, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + " slot " + std::to_string(c.slot) + " voices " + std::to_string(c.voices));
        EXPECT_EQ(LoadSound(c.file.c_str(), c.slot, c.voices), c.result);
        if (c.filledSlot < 0) continue;
        SoundSlot& s = Slot(c.filledSlot);
        EXPECT_EQ(s.voiceCount, c.voiceCount);
        EXPECT_EQ(s.fileName, nullptr);
        for (int v = 0; v < kMaxVoices; ++v) EXPECT_EQ(s.voices[v] != nullptr, v < c.voiceCount) << v;
    }
}

TEST_F(SoundSlots, FivePlaysOfFourVoicesRestartTheOldest) {
    ASSERT_EQ(LoadSound(LongSound().c_str(), 20, 4), 1);
    SoundSlot& s = Slot(20);
    const uint32_t quarter = 2000;  // 0.25 s of the sound
    // Each play starts the voice at nextVoice when idle, else moves on.
    for (int v = 0; v < 4; ++v) {
        ASSERT_EQ(PlaySound(20, 0, 1), 1);
        EXPECT_EQ(s.nextVoice, v);
        ASSERT_TRUE(Reaches(s.voices[v], quarter)) << "voice " << v << " does not play";
    }
    // The fifth finds voice 3 playing, moves on to voice 0 and restarts it.
    ASSERT_EQ(PlaySound(20, 0, 1), 1);
    EXPECT_EQ(s.nextVoice, 0);
    EXPECT_LT(Cursor(s.voices[0]), quarter);
    for (int v = 0; v < 4; ++v) EXPECT_TRUE(Playing(s.voices[v])) << v;
    // StopAllSounds stops and rewinds every voice.
    StopAllSounds();
    for (int v = 0; v < 4; ++v) {
        EXPECT_FALSE(Playing(s.voices[v])) << v;
        EXPECT_EQ(Cursor(s.voices[v]), 0u) << v;
    }
}

TEST_F(SoundSlots, AOneVoiceSoundIsNotRestartedWhilePlaying) {
    ASSERT_EQ(LoadSound(LongSound().c_str(), 21, 1), 1);
    SoundSlot& s = Slot(21);
    ASSERT_EQ(PlaySound(21, -3, 2), 1);
    ASSERT_TRUE(Reaches(s.voices[0], 2000));
    EXPECT_EQ(PlaySound(21, 0, 1), 0);
    EXPECT_GE(Cursor(s.voices[0]), 2000u);  // not rewound
    // NaN pan and volume are refused by the voice, which still plays.
    StopSoundSlot(s);
    EXPECT_EQ(PlaySound(21, NAN, NAN), 1);
    EXPECT_TRUE(Playing(s.voices[0]));
}

// Start-up opens the device in the background; a command given at once
// waits for it and gets what it would have got from a device opened
// before: each round closes the device and starts opening it again.
TEST_F(SoundSlots, CommandsRightAfterStartingTheDeviceWaitForIt) {
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ReleaseSoundObjects();
        CreateSoundObjects();
        StartSound(runtime.mainWindow);
        switch (round) {
        case 0: EXPECT_EQ(LoadSound(LongSound().c_str(), 9, 2), 1); break;
        case 1: EXPECT_EQ(PlaySound(9, 0, 1), 0); break;  // the slots are new and empty
        case 2: StopAllSounds(); break;
        default:  // closed while still opening, then opened again
            ReleaseSoundObjects();
            CreateSoundObjects();
            StartSound(runtime.mainWindow);
        }
        ASSERT_NE(AwaitSoundDevice(), nullptr);
        EXPECT_NE(runtime.soundDevice->directSound, nullptr);
        EXPECT_EQ(runtime.soundDevice->caps.size, 96u);
        EXPECT_EQ(LoadSound(LongSound().c_str(), 9, 2), 1);
        EXPECT_EQ(PlaySound(9, 0, 1), 1);
        EXPECT_TRUE(Playing(Slot(9).voices[0]));
    }
}

TEST(SoundWithoutDevice, LoadAndPlayGiveZeroAndLeaveTheSlotEmpty) {
    SoundDevice none;
    SoundSlot slot;
    EXPECT_FALSE(LoadSlot(slot, &none, LongSound().c_str(), 4));
    EXPECT_FALSE(LoadSlot(slot, nullptr, LongSound().c_str(), 4));
    EXPECT_EQ(slot.voiceCount, 0);
    EXPECT_EQ(slot.fileName, nullptr);
    EXPECT_EQ(slot.voices[0], nullptr);
    EXPECT_EQ(PlayVoice(slot, 0, 100, 0), 0);
}

}  // namespace
