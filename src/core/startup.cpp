#include "core/startup.h"

#include <brindle/core.h>
#include <brindle/sound.h>
#include <brindle/text.h>

#include <cstring>

#include "core/clock.h"
#include "core/error_log.h"
#include "core/frame.h"
#include "core/program_end.h"
#include "core/runtime_state.h"
#include "core/window.h"
#include "files/pack_paths.h"
#include "gfx2d/backgrounds.h"
#include "gfx2d/text.h"
#include "input/frame_input.h"
#include "input/input_devices.h"
#include "lang/number_convert.h"
#include "lang/random.h"
#include "media/media_pack.h"
#include "net/net_game.h"
#include "sound/media_playback.h"
#include "sound/sound_slots.h"
#include "platform/gl.h"
#include "platform/mouse_device.h"
#include "platform/system.h"
#include "platform/native_window.h"

namespace {

// Input, sound, the network and the media packs, released as the program ends.
void ReleaseDevices() {
    if (runtime.input) {
        InputShutdown(*runtime.input);
        delete runtime.input;
        runtime.input = nullptr;
    }
    ReleaseSoundObjects();  // every slot, last to first, then the device
    DestroyNetGame(runtime.netGame);  // stops the thread, sends leaves, shuts the network down
    runtime.netGame = nullptr;
    ReleaseMediaPacks();  // deletes pending extracted files
}

// The steps of the frame and of the end that belong to the subsystems: start-up
// is the one place that knows them all, so the frame and the end need not.
void ConnectSubsystemSteps() {
    FrameSteps frame;
    frame.keepMusicLooping = KeepMusicLooping;
    frame.refreshInput = RefreshInputAndCheckEndKeys;
    frame.endShadowPass = [] { runtime.scene.SetShadowVolumeMode(false); };
    frame.drawBackground = [] { DrawBackground(runtime.renderer, 0); };
    frame.resetMipmapping = [] { runtime.mipmapSetting = 0; };  // 3D drawing binds plain textures again
    SetFrameSteps(frame);
    EndSteps end;
    end.stopMusic = StopMusic;
    end.releaseDevices = ReleaseDevices;
    SetEndSteps(end);
}

}  // namespace

const char* SkipProgramName(const char* p) {
    if (!p) return "";
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

RtString ProgramDirectory(const char* programPath) {
    RtString dir;
    dir.Reserve(512);
    dir.Assign(programPath ? programPath : "");
    char* text = dir.data();
    for (int i = static_cast<int>(dir.length()) - 1; i >= 0; --i) {
        if (text[i] == '/' || text[i] == '\\') {
            dir.Truncate(static_cast<uint32_t>(i));
            break;
        }
    }
    return dir;
}

void ApplySettings(const GameSettings& s, const char* commandLine) {
    runtime.windowWidth = s.windowWidth;
    runtime.windowHeight = s.windowHeight;
    runtime.commandLine.Assign(commandLine ? commandLine : "");
    runtime.startFullscreen = s.startFullscreen;
    runtime.framesPerSecond = s.framesPerSecond;
    runtime.debugTrace = s.debugTrace;
    runtime.useDirectMouse = s.useDirectMouse;
}

RtString CommandLine() { return runtime.commandLine; }

int ProgramEntry(platform::AppInstance instance, platform::AppInstance previousInstance,
                 const char* commandLine, int showState) {
    ApplySettings(gameSettings, commandLine);
    InitRuntime(instance, previousInstance, commandLine, showState, gameSettings.title);
    if (!runtime.mainWindow) {
        // Without a window there is no display to draw on: say so and stop,
        // rather than run the game against a missing context.
        AppendErrorLog("No Window");
        return 1;
    }
    runtime.errorLine = runtime.errorCode = runtime.traceLine = 0;
    GameMain();
    EndProgram();
}

int InitRuntime(platform::AppInstance instance, platform::AppInstance, const char*, int,
                const char* title) {
    ConnectWindowEvents();
    ConnectSubsystemSteps();
    // A fresh log per run, before anything (even "No Window") is written.
    DeleteErrorLog();
    // Window class and window: caption-only, centred on the primary screen.
    if (!platform::RegisterWindowClass(instance)) return 0;
    runtime.appInstance = instance;
    platform::DesktopMetrics m = platform::GetDesktopMetrics();
    int x = (m.screenWidth - runtime.windowWidth) / 2;
    int y = (m.screenHeight - runtime.windowHeight) / 2;
    runtime.mainWindow = platform::CreateMainWindow(
        instance, "Brindle", x, y, runtime.windowWidth,
        runtime.windowHeight + m.captionHeight + 6 * m.borderHeight);
    if (!runtime.mainWindow) return 0;
    platform::ShowWindowNormal(runtime.mainWindow);
    platform::SetWindowCaption(runtime.mainWindow, title);
    runtime.windowTitle.Assign(title);

    runtime.input = new InputDevices();
    InputReset(*runtime.input);
    CreateSoundObjects();
    runtime.netGame = CreateNetGame();

    runtime.renderer.CreateContext(runtime.mainWindow, runtime.windowWidth, runtime.windowHeight, 0,
                                   runtime.framesPerSecond);
    // A different random sequence each run.
    SeedRandom(TimeSeed(Now()));
    if (runtime.startFullscreen)
        runtime.renderer.EnterFullscreen();
    else
        runtime.renderer.EnterWindowed();
    InputInit(*runtime.input, runtime.mainWindow, instance, runtime.useDirectMouse != 0);
    StartSound(runtime.mainWindow);

    runtime.currentFont = 0;

    // Working directory: the program's own directory.
    std::string exe = platform::ExecutablePath();  // empty when it does not fit
    RtString dir = ProgramDirectory(exe.c_str());
    platform::ChangeDirectory(dir.Text());
    AppendErrorLog("Current Dir");
    AppendErrorLog(dir.Text());

    // Media lookup: the pack is the executable itself, where brindle-pack
    // appends the game's media.
    CreateMediaPacks();
    SetPackPaths(exe.c_str(), exe.c_str());

    glClear(GL_COLOR_BUFFER_BIT);
    PresentAndPace(runtime.renderer);
    runtime.renderer.ResetViewport();

    runtime.frameStart = runtime.previousFrameStart = runtime.programStart = Now();

    // Font 0: the built-in font, replaced by "smalfont.bmp" when there is one.
    LoadFontFile("", 0);
    LoadFontFile("smalfont.bmp", 0);
    DrawLoadingText();
    ShowFrame();  // the "Loading..." frame

    runtime.paused = 0;
    platform::BeginTimerPeriod();
    // No pointer over the window until a mouse command shows the arrow.
    platform::HidePointerOverWindow(runtime.mainWindow);

    runtime.frameStart = runtime.previousFrameStart = runtime.programStart = Now();
    return 0;
}

void GetScreenSize(double& width, double& height) {
    width = runtime.windowWidth;
    height = runtime.windowHeight;
}

double GetWindowHandle() {
    return static_cast<double>(reinterpret_cast<uintptr_t>(runtime.mainWindow));
}
