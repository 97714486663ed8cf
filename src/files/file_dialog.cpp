// FileDialog: the system's open or save dialog, with the program window
// hidden while it is shown.
#include <brindle/files.h>

#include <cstring>
#include <string>

#include "core/error_log.h"
#include "core/runtime_state.h"
#include "core/window.h"
#include "files/name_text.h"
#include "platform/file_dialog.h"
#include "platform/files.h"
#include "platform/system.h"

RtString FileDialog(double open, const RtString& filter) {
    // "Images|*.bmp|All files|*.*" becomes the platform's list of zero-ended
    // texts, ended by a second zero byte.
    char filters[1024] = {};
    std::strncpy(filters, filter.Text(), sizeof filters - 2);
    for (char& c : filters)
        if (c == '|') c = '\0';

    // The dialog may change the current directory.
    const std::string directory = platform::CurrentDirectoryPath();
    HideForDialog();
    std::string chosen;
    if (!platform::ShowFileDialog(runtime.renderer.window, open != 0, filters, directory.c_str(),
                                  chosen))
        AppendErrorLog("File dialog could not be shown");
    platform::ChangeDirectory(directory.c_str());
    if (runtime.startFullscreen)
        runtime.renderer.EnterFullscreen();
    else
        runtime.renderer.EnterWindowed();

    if (chosen.empty()) return RtString("NO_FILE");
    ForwardSlashes(chosen);
    return RtString(chosen.c_str());
}
