#include "files/ini_file.h"

#include "core/runtime_state.h"
#include "core/file_writer.h"
#include "media/file_access.h"
#include "media/media_pack.h"

void IniLoad(IniData& data, const char* name) {
    data.iniChanged = 0;
    data.iniFileName.clear();
    data.sections.clear();
    char resolved[kResolvedNameSize];
    // A found file (perhaps extracted from the pack) is written back where it
    // was read from.
    const char* path = ResolveMediaFile(runtime.mediaPack, name, resolved) ? resolved : name;
    data.iniFileName = path ? path : "";
    std::FILE* source = OpenExistingForRead(data.iniFileName.c_str());
    if (!source) return;
    IniReadLines(data, source);
    std::fclose(source);
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
    int s = IniFindSection(data, section);
    if (!*key) {
        if (s < 0) return;
        IniRemoveAt(data.sections, static_cast<size_t>(s));
        data.iniChanged = 1;
        return;
    }
    if (s < 0) {
        IniAddSection(data, section, {});
        s = static_cast<int>(data.sections.size()) - 1;
    }
    IniSection& target = data.sections[s];
    int p = IniFindPair(target, key);
    data.iniChanged = 1;
    if (p < 0)
        target.pairs.push_back(IniPair{key, value});  // even with an empty value
    else if (!*value)
        IniRemoveAt(target.pairs, static_cast<size_t>(p));
    else
        target.pairs[p].iniValue = value;
}
