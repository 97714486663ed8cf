#include "media/media_pack.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/error_log.h"
#include "core/runtime_state.h"
#include "media/file_access.h"
#include "media/pack_format.h"
#include "platform/files.h"
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

// Writes the content to a file created for it under a fresh name (path).
// A failed or short write leaves nothing behind and gives false.
bool WriteExtractedFile(const std::string& entryName, const uint8_t* data, size_t size,
                        char (&path)[kMediaPathSize]) {
    // A taken name (another user's file, or a clash of random names) is
    // never opened; another name is tried.
    // The path goes back in the caller's buffer too: it must fit both.
    const size_t room = std::min(sizeof path, static_cast<size_t>(kResolvedNameSize));
    std::FILE* f = nullptr;
    for (int attempt = 0; attempt < 8 && !f; ++attempt) {
        if (!ExtractedFileName(entryName.c_str(), path, room)) {
            LogPackProblem("no name for the extracted file", entryName);
            return false;
        }
        f = platform::CreateNewFile(path);
    }
    if (!f) {
        LogPackProblem("cannot create extracted file", path);
        return false;
    }
    const bool written = std::fwrite(data, 1, size, f) == size;
    if (std::fclose(f) != 0 || !written) {
        platform::DeleteFileAt(path);
        LogPackProblem("cannot write extracted file", path);
        return false;
    }
    return true;
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

    pack::Content content;
    pack::ExtractStatus extract = pack::ReadContent(source, layout, entry, content);
    if (extract == pack::ExtractStatus::kDecompressError) {
        // The bytes decoded up to the damage are still written and used.
        LogPackProblem(pack::Describe(extract), entry.name);
    } else if (extract != pack::ExtractStatus::kOk) {
        LogPackProblem(pack::Describe(extract), entry.name);
        return false;
    }
    char path[kMediaPathSize];
    if (!WriteExtractedFile(entry.name, content.bytes.get(), content.length, path)) return false;
    std::memcpy(pack->extractedPath, path, sizeof path);
    std::memcpy(resolvedName, path, std::strlen(path) + 1);
    return true;
}

}  // namespace

bool ExtractedFileName(const char* entryName, char* out, size_t outSize) {
    // Lower case only: Windows names ignore case, so more letters would add
    // no names there.
    static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    uint8_t random[kExtractTokenLength];
    if (!platform::RandomBytes(random, sizeof random)) return false;
    std::string path = platform::TempDirectory();
    path += "~voz";
    // 16 characters: about 82 bits, even with the slight bias of r % 36.
    for (uint8_t r : random) path += kAlphabet[r % 36];
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
    // The name as given; else as the disk spells it (on Linux: backslashes
    // as '/', letter case as on the disk), which is no longer, so it fits.
    std::string onDisk = request;
    std::FILE* f = OpenExistingForRead(onDisk.c_str());
    if (!f) {
        onDisk = platform::PathOnDisk(request.c_str());
        if (onDisk != request && onDisk.size() <= request.size()) f = OpenExistingForRead(onDisk.c_str());
    }
    if (f) {
        std::fclose(f);
        std::memcpy(resolvedName, onDisk.c_str(), onDisk.size() + 1);
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
