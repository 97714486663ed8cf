// The state of the line file, the INI file and the libraries loaded for
// ImportFunction. It lives in RuntimeState for the whole process; its
// destruction at exit writes both files back (when changed) and frees the
// libraries.
#pragma once
#include <vector>

#include "files/ini_data.h"
#include "files/line_file.h"
#include "platform/external_code.h"

struct FilesState {
    FilesState() = default;
    FilesState(const FilesState&) = delete;
    FilesState& operator=(const FilesState&) = delete;
    ~FilesState();

    LineFile lineFile;
    IniData ini;
    std::vector<platform::Library> loadedModules;
};
