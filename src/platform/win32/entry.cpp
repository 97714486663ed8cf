// Process entry on Windows: the command line after the program name goes to
// ProgramEntry, with the show state from the start-up information.
#include <windows.h>

#include "platform/program_entry.h"
#include "platform/win32/win32_handles.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int) {
    STARTUPINFOA info;
    info.cb = sizeof info;
    GetStartupInfoA(&info);
    int show = (info.dwFlags & STARTF_USESHOWWINDOW) ? info.wShowWindow : SW_SHOWDEFAULT;
    return ProgramEntry(platform::win32::Handle(instance), platform::win32::Handle(previous),
                        SkipProgramName(GetCommandLineA()), show);
}
