// Sound effects: two WAV sounds (packed into the executable by the build)
// in slots of their own. 1 plays the beep on the left, 2 the chime on the
// right, Space the chime in the middle more softly; a slot of four voices
// lets quick presses overlap. A beep also sounds once a second by itself.
// Music: a tune plays looping in the background; M stops and restarts it.
// Escape ends the example.
#include <brindle.h>

const GameSettings gameSettings = {640, 480, 60, 0, 0, 0, "Example: Sound"};

namespace {
const double kBeep = 0, kChime = 1;             // sound slots 0 ... 127
const double kKey1 = 2, kKey2 = 3, kSpace = 57, kM = 50;  // DirectInput scan codes
NumberArray wasDown;                            // each key's state in the last frame

// 1 on the frame a key goes down, 0 while it is held or up.
double Pressed(double key) {
    double down = KeyDown(key);
    double pressed = down != 0 && wasDown(key) == 0;
    wasDown(key) = down;
    return pressed;
}

RtString Status(const char* name, double loaded) {
    return RtString(name) + (loaded != 0 ? ": loaded" : ": not loaded (no sound device?)");
}

// What the music line says: PlayMusic gives 0 when the music started (or
// when the file was not found), else the media layer's error number.
RtString MusicStatus(bool on, double result) {
    if (!on) return "Music: stopped (M plays it)";
    if (result != 0) return RtString("Music: error ") + result;
    return "Music: tune.wav playing (M stops it)";
}
}  // namespace

void GameMain() {
    double width, height;
    GetScreenSize(width, height);
    DimArray(wasDown, 256);
    // LoadSound gives 1 when the slot is ready to play.
    double beepLoaded = LoadSound("beep.wav", kBeep, 4);
    double chimeLoaded = LoadSound("chime.wav", kChime, 4);
    double played = 0, nextBeep = 0;
    // The music plays in the background; ShowFrame restarts it at its end.
    double musicResult = PlayMusic("tune.wav");
    bool musicOn = true;
    for (;;) {
        // PlaySound(slot, pan -1 ... 1, volume 0 ... 1) gives 1 when it
        // started. Volume is in decibels: 1 is full level, 0.9 is -10 dB
        // (a third of the amplitude), 0.5 is -50 dB (barely heard).
        if (ElapsedTime() >= nextBeep) {
            played = played + PlaySound(kBeep, 0, 0.9);
            nextBeep = ElapsedTime() + 1000;
        }
        if (Pressed(kKey1)) played = played + PlaySound(kBeep, -1, 1);
        if (Pressed(kKey2)) played = played + PlaySound(kChime, 1, 1);
        if (Pressed(kSpace)) played = played + PlaySound(kChime, 0, 0.9);
        if (Pressed(kM)) {
            musicOn = !musicOn;
            if (musicOn) musicResult = PlayMusic("tune.wav");
            else StopMusic();
        }

        FillRect(0, 0, width - 1, height - 1, 0x303000);
        // A bar that flashes with each beep of the clock.
        double flash = 1 - (nextBeep - ElapsedTime()) / 1000;
        FillRect(8, 120, 8 + (width - 16) * (1 - flash), 140, 0x00C0FF);

        PrintText("Sound effects", 8, 8);
        PrintText(Status("beep.wav", beepLoaded), 8, 40);
        PrintText(Status("chime.wav", chimeLoaded), 8, 60);
        PrintText(RtString("Sounds started: ") + played, 8, 90);
        PrintText(MusicStatus(musicOn, musicResult), 8, 190);
        PrintText("1 beep, 2 chime, Space soft chime", 8, 160);
        ShowFrame();
    }
}
