// RuntimeState: the one statically allocated record of runtime state.
#pragma once
#include <brindle/rtstring.h>
#include <cstdint>

#include "files/files_state.h"
#include "gfx2d/opengl_zadederu.h"
#include "gfx3d/zadederu3d.h"
#include "platform/media_window.h"
#include "platform/native_window.h"

struct InputDevices;
struct SoundDevice;
struct SoundSlot;
struct NetGame;
struct MediaPack;

struct RuntimeState {
    // Settings block, filled by ProgramEntry from the game's settings.
    int windowWidth = 0;
    int windowHeight = 0;
    int framesPerSecond = 0;
    int startFullscreen = 0;
    int debugTrace = 0;
    int useDirectMouse = 0;

    // Core fields.
    platform::AppInstance appInstance = nullptr;
    platform::NativeWindow mainWindow = nullptr;
    RtString windowTitle;
    // Declared after windowTitle: constructed after it, destroyed before it.
    OpenGLZadederu renderer;
    uint8_t paused = 0;
    int currentFont = 0;
    RtString commandLine;
    double frameStart = 0, previousFrameStart = 0, programStart = 0;
    double errorCode = 0, errorLine = 0;
    double traceLine = 0, traceTag = 0;
    uint8_t escapeEnds = 1;
    int mipmapSetting = 0;
    int cullModeSetting = 0;

    // The 3D scene draws into the 2D renderer's context.
    Zadederu3D scene{&renderer};

    // Components created by InitRuntime and released by EndProgram.
    InputDevices* input = nullptr;
    SoundDevice* soundDevice = nullptr;
    SoundSlot* soundSlots = nullptr;
    NetGame* netGame = nullptr;
    MediaPack* mediaPack = nullptr;
    MediaPack* streamPack = nullptr;
    platform::MediaWindow mediaWindow = nullptr;  // the music playing, if any

    // Line file, INI file and imported libraries: written back and freed when
    // the process exits, after EndProgram (and before the scene and renderer).
    FilesState files;
};

extern RuntimeState runtime;
