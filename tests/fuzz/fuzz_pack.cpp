// Pack files from untrusted bytes: the trailing offset, the directory walk,
// name matching and the extraction of every entry (LZO1X, safe).
#include <cstddef>
#include <cstdint>
#include <string>

#include "media/pack_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pack::MemorySource source(data, size);
    pack::Layout layout;
    if (pack::ReadLayout(source, layout) != pack::LayoutStatus::kOk) return 0;
    pack::DirectoryReader reader(source, layout);
    pack::Entry entry;
    static const char kRequest[] = "data/Smalfont.bmp";
    for (int n = 0; n < 64 && reader.Next(entry); ++n) {
        pack::NameMatches(entry.name, kRequest, sizeof kRequest - 1);
        if (!pack::UsableName(entry.name)) continue;
        pack::Content content;
        pack::ExtractStatus status = pack::ReadContent(source, layout, entry, content);
        if (status == pack::ExtractStatus::kOk || status == pack::ExtractStatus::kDecompressError) {
            // Touch every byte the decompressor claims to have written.
            volatile uint8_t sum = 0;
            for (size_t i = 0; i < content.length; ++i) sum += content.bytes[i];
            if (content.length > content.originalSize) __builtin_trap();
        }
    }
    return 0;
}
