// Conversions between the seam's typed handles and the Win32 ones; used
// inside platform/win32 only.
#pragma once
#include <windows.h>

#include "platform/external_code.h"
#include "platform/files.h"
#include "platform/gl_context.h"
#include "platform/sound_output.h"
#include "platform/native_window.h"

struct IDirectSound;
struct IDirectSoundBuffer;

namespace platform::win32 {
inline HWND Hwnd(NativeWindow window) { return reinterpret_cast<HWND>(window); }
inline NativeWindow Handle(HWND window) { return reinterpret_cast<NativeWindow>(window); }
inline HINSTANCE Hinstance(AppInstance instance) { return reinterpret_cast<HINSTANCE>(instance); }
inline AppInstance Handle(HINSTANCE instance) { return reinterpret_cast<AppInstance>(instance); }
inline HGLRC Hglrc(GlContext context) { return reinterpret_cast<HGLRC>(context); }
inline GlContext Handle(HGLRC context) { return reinterpret_cast<GlContext>(context); }
inline HPALETTE Hpalette(PaletteHandle palette) { return reinterpret_cast<HPALETTE>(palette); }
inline PaletteHandle Handle(HPALETTE palette) { return reinterpret_cast<PaletteHandle>(palette); }
inline IDirectSound* DirectSound(SoundOutput output) { return reinterpret_cast<IDirectSound*>(output); }
inline SoundOutput Handle(IDirectSound* output) { return reinterpret_cast<SoundOutput>(output); }
inline IDirectSoundBuffer* DirectSoundBuffer(SoundBuffer buffer) {
    return reinterpret_cast<IDirectSoundBuffer*>(buffer);
}
inline SoundBuffer Handle(IDirectSoundBuffer* buffer) { return reinterpret_cast<SoundBuffer>(buffer); }
inline HANDLE Native(File file) { return reinterpret_cast<HANDLE>(file); }
inline File FileHandle(HANDLE file) { return reinterpret_cast<File>(file); }
inline HMODULE Hmodule(Library library) { return reinterpret_cast<HMODULE>(library); }
inline Library LibraryHandle(HMODULE library) { return reinterpret_cast<Library>(library); }
inline HANDLE Native(Process process) { return reinterpret_cast<HANDLE>(process); }
inline Process ProcessHandle(HANDLE process) { return reinterpret_cast<Process>(process); }
}  // namespace platform::win32
