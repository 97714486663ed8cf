#include "files/ini_file.h"

#include "core/error_log.h"
#include "core/file_writer.h"
#include "core/runtime_state.h"
#include "files/pack_paths.h"
#include "media/file_access.h"
#include "media/media_pack.h"

void IniLoad(IniData& data, const char* name) {
    data = IniData();
    char resolved[kResolvedNameSize];
    if (!ResolveMediaFile(runtime.mediaPack, name, resolved)) {
        data.iniFileName = name ? name : "";  // IniPut and a save create it
        return;
    }
    data.iniFileName = WriteBackPath(name, resolved);
    std::FILE* source = OpenExistingForRead(resolved);
    if (!source) return;
    std::string bytes;
    ReadAllBytes(source, bytes);
    std::fclose(source);
    IniReadText(data, bytes);
}

void IniSave(const IniData& data) {
    if (!data.iniChanged || data.iniFileName.empty()) return;
    WriteFileSafely(data.iniFileName.c_str(), IniText(data));
}

std::string IniGetValue(const IniData& data, const char* section, const char* key) {
    int s = IniFindSection(data, section);
    if (s < 0) return "NO_DATA";
    int p = IniFindPair(data.sections[s], key);
    if (p < 0) return "NO_DATA";
    return data.sections[s].pairs[p].iniValue;
}

void IniPutValue(IniData& data, const char* section, const char* key, const char* value) {
    if (const char* refusal = IniChange(data, section, key, value))
        AppendErrorLog((std::string("IniPut not stored: [") + section + "] " + key + " (" + refusal + ")").c_str());
}
