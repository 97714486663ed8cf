#include "files/line_file.h"

#include <brindle/core.h>

#include <cstring>

#include "core/file_writer.h"
#include "core/runtime_state.h"
#include "files/pack_paths.h"
#include "media/file_access.h"
#include "media/media_pack.h"

namespace {
void Clear(LineFile& file) {
    file.lineFileName.clear();
    file.writeBackPath.clear();
    file.lines.clear();
    file.written.clear();
    file.linesChanged = false;
    file.lastLine = 0;
}
}  // namespace

int LineFileOpen(LineFile& file, const char* name) {
    if (name && file.lineFileName == name) return 0;
    if (!file.lineFileName.empty() && file.linesChanged)
        WriteFileSafely(file.writeBackPath.c_str(), LineFileText(file));
    Clear(file);
    if (!name) return 0;
    // A longer name is not taken, and its entries are never written back
    // anywhere.
    if (std::strlen(name) > kLineNameLimit) {
        RecordError(3);
        return 3;
    }
    file.lineFileName = name;
    file.writeBackPath = name;
    char resolved[kResolvedNameSize];
    if (!ResolveMediaFile(runtime.mediaPack, name, resolved)) {
        RecordError(3);
        return 3;
    }
    file.writeBackPath = WriteBackPath(name, resolved);
    std::FILE* source = OpenExistingForRead(resolved);
    if (!source) {
        RecordError(3);
        return 3;
    }
    std::string bytes;
    ReadAllBytes(source, bytes);
    std::fclose(source);
    ReadLineEntries(file, bytes);
    return 0;
}

int ReadLineEntry(LineFile& file, const char* name, uint32_t entry, RtString& result) {
    if (entry >= static_cast<uint32_t>(kLineEntries)) {
        result = "NO_DATA";
        RecordError(7);
        return 7;
    }
    int code = LineFileOpen(file, name);
    if (code != 0) {
        result = "NO_FILE";
        return code;
    }
    const std::string text = LineEntryText(file, entry);
    result = text.empty() ? "NO_DATA" : text.c_str();
    return 0;
}

int WriteLineEntry(LineFile& file, const char* name, uint32_t entry, const char* text) {
    if (entry >= static_cast<uint32_t>(kLineEntries)) {
        RecordError(7);
        return 7;
    }
    LineFileOpen(file, name);  // a missing file starts empty and is created on write-back
    SetLineEntry(file, entry, text);
    return 0;
}
