// The line-file and INI-file commands over the runtime's one line file and
// one INI file.
#include <brindle/files.h>

#include "core/runtime_state.h"
#include "files/ini_file.h"
#include "files/line_file.h"
#include "lang/number_convert.h"
#include "lang/text_number.h"

namespace {
// Entry numbers are truncated and compared unsigned: negative ones are too large.
uint32_t EntryNumber(double entry) { return static_cast<uint32_t>(TruncToInt(entry)); }
}  // namespace

RtString ReadLineText(const RtString& file, double entry) {
    RtString result;
    ReadLineEntry(runtime.files.lineFile, file.Text(), EntryNumber(entry), result);
    return result;
}

double ReadLineNumber(const RtString& file, double entry) {
    return ParseLeadingNumber(ReadLineText(file, entry).Text());
}

void WriteLineText(const RtString& file, double entry, const RtString& text) {
    WriteLineEntry(runtime.files.lineFile, file.Text(), EntryNumber(entry), text.Text());
}

void WriteLineNumber(const RtString& file, double entry, double number) {
    char text[32];
    FormatDouble(number, text);
    WriteLineEntry(runtime.files.lineFile, file.Text(), EntryNumber(entry), text);
}

void IniOpen(const RtString& file) {
    IniData& ini = runtime.files.ini;
    if (ini.iniChanged) IniSave(ini);
    IniLoad(ini, file.Text());
}

RtString IniGet(const RtString& section, const RtString& key) {
    return RtString(IniGetValue(runtime.files.ini, section.Text(), key.Text()).c_str());
}

void IniPut(const RtString& section, const RtString& key, const RtString& value) {
    IniPutValue(runtime.files.ini, section.Text(), key.Text(), value.Text());
}
