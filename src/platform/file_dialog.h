// The seam: the system's own open and save dialogs. Windows shows the common
// dialogs (GetOpenFileNameA / GetSaveFileNameA); Linux runs the desktop's file
// chooser as a child process (kdialog on KDE, zenity elsewhere).
#pragma once
#include <string>

#include "platform/native_window.h"

namespace platform {

// Shows the dialog over `owner` (which the caller has hidden) and waits for
// the user. `filters` is the Windows filter list: description and pattern
// texts, each ended by a zero byte, the list ended by a second zero byte
// (patterns separated by ";"). The dialog starts in `directory`. `chosen`
// gets the chosen path, or "" when the dialog was cancelled. False when no
// dialog could be shown.
bool ShowFileDialog(NativeWindow owner, bool open, const char* filters, const char* directory,
                    std::string& chosen);

}  // namespace platform
