// Backgrounds end to end (a debug build, so the end trace names the error).
// Without arguments: a missing background changes nothing, "Probe_Back.bmp"
// (from the executable's pack) is loaded, three frames each draw a small
// square over it, and the third is saved to frame.bmp before the program
// ends. "bad": loads "bad_back.bmp" (undecodable), which ends the program
// with error 3. "fade": loads "probe_back.bmp", prints "fading" and fades
// to "fade_to.bmp" at two frames per second; "faded" follows if it ever ends.
#include <brindle.h>

#include <cstdio>

const GameSettings gameSettings = {320, 240, 60, 0, 1, 0, "Background Probe"};

void GameMain() {
    if (CommandLine() == "bad") {
        LoadBackground("bad_back.bmp");
        std::printf("not ended\n");
        return;
    }
    if (CommandLine() == "fade") {
        LoadBackground("probe_back.bmp");
        ShowFrame();
        std::printf("fading\n");
        std::fflush(stdout);
        SetFrameRate(2);
        FadeToBackground("fade_to.bmp");
        std::printf("faded\n");
        std::fflush(stdout);
        End();
    }
    LoadBackground("no_such_back.bmp");
    LoadBackground("Probe_Back.bmp");
    for (int frame = 1; frame <= 3; ++frame) {
        ShowFrame();
        FillRect(10 * frame, 10, 10 * frame + 4, 14, 0xFFFFFF);
    }
    SaveScreen("frame.bmp");
    End();
}
