#include "files/files_state.h"

#include "files/ini_file.h"

// In this order: the INI file, the line file, then the libraries (a library
// function may still be needed by nothing here, but the files come first).
FilesState::~FilesState() {
    IniSave(ini);
    ini.sections.clear();
    LineFileOpen(lineFile, nullptr);
    for (platform::Library library : loadedModules) platform::FreeLibraryHandle(library);
    loadedModules.clear();
}
