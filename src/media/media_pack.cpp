#include "media/media_pack.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/error_log.h"
#include "core/runtime_state.h"
#include "media/file_access.h"
#include "media/pack_format.h"
#include "platform/system.h"

namespace {

void LogPackProblem(const char* what, const std::string& name) {
    std::string line = "Media pack: ";
    line += what;
    if (!name.empty()) {
        line += ": ";
        line += name;
    }
    AppendErrorLog(line.c_str());
}

bool WriteWholeFile(const char* path, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

// Steps 5 to 10 of the lookup on the open pack (the caller closes it); true
// when the entry was extracted (resolvedName then holds its path).
bool ExtractFromPack(MediaPack* pack, std::FILE* file, const std::string& request,
                     char* resolvedName) {
    pack::FileSource source(file);
    pack::Layout layout;
    // An executable without appended media has no directory: its last four
    // bytes point anywhere, and its bytes walked as a directory end in a
    // terminator or cut short. Both mean "not in the pack", silently.
    if (pack::ReadLayout(source, layout) != pack::LayoutStatus::kOk) return false;

    pack::DirectoryReader reader(source, layout);
    pack::Entry entry;
    bool found = false;
    while (reader.Next(entry)) {
        // Names that could step out of the temporary directory never match.
        if (pack::UsableName(entry.name) &&
            pack::NameMatches(entry.name, request.data(), request.size())) {
            found = true;
            break;
        }
    }
    if (!found) return false;

    char path[kMediaPathSize];
    if (!ExtractedFileName(entry.name.c_str(), entry.dataOffset, entry.storedSize, path,
                           sizeof path)) {
        LogPackProblem("extracted file name too long", entry.name);
        return false;
    }
    pack::Content content;
    pack::ExtractStatus extract = pack::ReadContent(source, layout, entry, content);
    if (extract == pack::ExtractStatus::kDecompressError) {
        // The bytes decoded up to the damage are still written and used.
        LogPackProblem(pack::Describe(extract), entry.name);
    } else if (extract != pack::ExtractStatus::kOk) {
        LogPackProblem(pack::Describe(extract), entry.name);
        return false;
    }
    // A failure to write is left to the caller's open; but only a file we
    // created is ever deleted later.
    if (WriteWholeFile(path, content.bytes.get(), content.length)) {
        std::memcpy(pack->extractedPath, path, sizeof path);
    } else {
        LogPackProblem("cannot write extracted file", path);
    }
    std::memcpy(resolvedName, path, std::strlen(path) + 1);
    return true;
}

}  // namespace

bool ExtractedFileName(const char* entryName, int32_t dataOffset, uint32_t storedSize, char* out,
                       size_t outSize) {
    std::string path = platform::TempDirectory();
    path += "~voz";
    path += static_cast<char>('A' + static_cast<uint32_t>(dataOffset) % 26u);
    path += static_cast<char>('A' + storedSize % 26u);
    path += entryName;
    if (path.size() + 1 > outSize) return false;
    std::memcpy(out, path.c_str(), path.size() + 1);
    return true;
}

void DeleteExtractedFile(MediaPack* pack) {
    if (!pack || !pack->extractedPath[0]) return;
    platform::DeleteFileAt(pack->extractedPath);
    pack->extractedPath[0] = '\0';
}

bool ResolveMediaFile(MediaPack* pack, const char* requestedName, char* resolvedName) {
    DeleteExtractedFile(pack);
    if (!requestedName || !*requestedName) {
        if (resolvedName) resolvedName[0] = '\0';
        return false;
    }
    // resolvedName may be requestedName itself.
    const std::string request(requestedName);
    // A name that would not fit the caller's buffer is never found.
    if (request.size() >= static_cast<size_t>(kResolvedNameSize)) {
        LogPackProblem("file name too long", "");
        resolvedName[0] = '\0';
        return false;
    }
    if (std::FILE* f = OpenExistingForRead(request.c_str())) {
        std::fclose(f);
        if (resolvedName != requestedName)
            std::memcpy(resolvedName, request.c_str(), request.size() + 1);
        return true;
    }
    if (!pack || !pack->packPath[0]) return false;
    std::FILE* file = OpenExistingForRead(pack->packPath);
    if (!file) return false;
    bool extracted = ExtractFromPack(pack, file, request, resolvedName);
    std::fclose(file);
    if (!extracted) resolvedName[0] = '\0';
    return extracted;
}

bool ResolveMediaFile(MediaPack* pack, const RtString& requested, RtString& resolved) {
    const std::string request(requested.Text());
    char* buffer = resolved.Buffer(kResolvedNameSize);
    bool found = ResolveMediaFile(pack, request.c_str(), buffer);
    resolved.SyncLength();
    return found;
}

void CreateMediaPacks() {
    runtime.mediaPack = new MediaPack();
    runtime.streamPack = new MediaPack();
}

void ReleaseMediaPacks() {
    for (MediaPack** record : {&runtime.mediaPack, &runtime.streamPack}) {
        DeleteExtractedFile(*record);
        delete *record;
        *record = nullptr;
    }
}
