// Line files from untrusted bytes: entries hold no line feed; an unchanged
// file is written back byte for byte; after writing entries, exactly those
// entries read back changed.
#include <cstddef>
#include <cstdint>
#include <string>

#include "files/line_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    LineFile file;
    ReadLineEntries(file, text);
    if (file.lastLine < 0 || file.lastLine >= kLineEntries) __builtin_trap();
    for (const SourceLine& line : file.lines)
        if (line.text.find('\n') != std::string::npos) __builtin_trap();
    if (LineFileText(file) != text) __builtin_trap();

    const uint32_t entry = size ? bytes[size - 1] : 0;  // 0..255
    SetLineEntry(file, entry, "written");
    SetLineEntry(file, entry / 2, "");
    LineFile again;
    ReadLineEntries(again, LineFileText(file));
    const size_t lines = again.lines.size();
    if (lines != file.lines.size()) __builtin_trap();
    for (size_t n = 0; n < lines; ++n) {
        const bool set = n == entry || n == entry / 2;
        // A last line without an ending gets one when lines follow: a
        // carriage return it ended with may then join that ending.
        const std::string& was = file.lines[n].text;
        const std::string& is = again.lines[n].text;
        const bool joined = file.lines[n].end.empty() && is + "\r" == was;
        if (is != was && !joined) __builtin_trap();
        if (!set && n + 1 < lines && !file.lines[n].end.empty() && again.lines[n].end != file.lines[n].end)
            __builtin_trap();
    }
    if (LineEntryText(again, entry) != (entry == entry / 2 ? "" : "written")) __builtin_trap();
    return 0;
}
