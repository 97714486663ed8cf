#include "files/line_file.h"

#include <brindle/core.h>

#include <cstring>
#include <string>

#include "core/runtime_state.h"
#include "core/file_writer.h"
#include "media/file_access.h"
#include "media/media_pack.h"

namespace {
void WriteBack(const LineFile& file) {
    std::string text;
    for (int n = 0; n <= file.lastLine && n < kLineEntries; ++n) {
        text += file.lines[n];
        text += "\r\n";
    }
    WriteFileSafely(file.lineFileName, text);
}

void Clear(LineFile& file) {
    std::memset(file.lines, 0, sizeof file.lines);
    std::memset(file.lineFileName, 0, sizeof file.lineFileName);
    file.linesChanged = false;
    file.lastLine = 0;
}
}  // namespace

int LineFileOpen(LineFile& file, const char* name) {
    if (name && std::strcmp(name, file.lineFileName) == 0) return 0;
    if (file.lineFileName[0] && file.linesChanged) WriteBack(file);
    Clear(file);
    if (!name) return 0;
    // A longer name could only be stored cut, naming some other file: it is
    // not taken, and its entries are never written back anywhere.
    size_t length = std::strlen(name);
    if (length >= sizeof file.lineFileName) {
        RecordError(3);
        return 3;
    }
    std::memcpy(file.lineFileName, name, length + 1);
    char resolved[kResolvedNameSize];
    if (!ResolveMediaFile(runtime.mediaPack, name, resolved)) {
        RecordError(3);
        return 3;
    }
    std::FILE* source = OpenExistingForRead(resolved);
    if (!source) {
        RecordError(3);
        return 3;
    }
    ReadLineEntries(file, source);
    std::fclose(source);
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
    const char* text = file.lines[entry];
    size_t length = std::strlen(text);
    // Control characters go, and with them bytes 128..255 (signed, they are
    // below 32 too).
    while (length > 0 && static_cast<signed char>(text[length - 1]) <= 31) --length;
    if (length == 0) {
        result = "NO_DATA";
    } else {
        result = "";
        char* out = result.Buffer(static_cast<uint32_t>(length));
        std::memcpy(out, text, length);
        out[length] = '\0';
        result.SyncLength();
    }
    return 0;
}

int WriteLineEntry(LineFile& file, const char* name, uint32_t entry, const char* text) {
    if (entry >= static_cast<uint32_t>(kLineEntries)) {
        RecordError(7);
        return 7;
    }
    LineFileOpen(file, name);  // a missing file starts empty and is created on write-back
    char* line = file.lines[entry];
    std::strncpy(line, text ? text : "", kLineTextSize - 1);
    line[kLineTextSize - 1] = '\0';
    if (static_cast<int32_t>(entry) > file.lastLine) file.lastLine = static_cast<int32_t>(entry);
    file.linesChanged = true;
    return 0;
}
