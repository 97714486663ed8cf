// File dialogs on Windows: the common open and save dialogs.
#include <windows.h>
#include <commdlg.h>

#include "platform/file_dialog.h"
#include "platform/win32/win32_handles.h"

namespace platform {

bool ShowFileDialog(NativeWindow owner, bool open, const char* filters, const char* directory,
                    std::string& chosen) {
    char file[1024] = {};
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;  // 76: the record without the newer fields
    dialog.hwndOwner = win32::Hwnd(owner);
    dialog.lpstrFilter = filters;
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrInitialDir = directory;
    dialog.Flags = OFN_HIDEREADONLY;
    BOOL ok = open ? GetOpenFileNameA(&dialog) : GetSaveFileNameA(&dialog);
    chosen = ok ? file : "";
    // A cancelled dialog reports no error; a dialog that could not be shown does.
    return ok || CommDlgExtendedError() == 0;
}

}  // namespace platform
