// Files for the media tests: scratch paths, BMP images built byte by byte,
// and running the brindle-pack tool of this build.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A fresh scratch directory for this test process (with trailing '/').
const std::string& ScratchDirectory();
std::string ScratchPath(const std::string& name);

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteFileText(const std::string& path, const std::string& text);
std::vector<uint8_t> ReadFileBytes(const std::string& path);  // empty when missing
bool FileExistsAt(const std::string& path);

// Points the runtime's temporary directory elsewhere (TMPDIR on Linux, TMP
// and TEMP on Windows) for the object's lifetime.
class ScopedTempDirectory {
public:
    explicit ScopedTempDirectory(const std::string& dir);
    ~ScopedTempDirectory();
    ScopedTempDirectory(const ScopedTempDirectory&) = delete;
    ScopedTempDirectory& operator=(const ScopedTempDirectory&) = delete;

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;  // name, old value
};

// Runs this build's brindle-pack with the given arguments (no spaces in
// them); its exit status.
int RunPackTool(const std::string& arguments);

// A pixel given as red, green, blue.
struct Rgb {
    uint8_t r, g, b;
};

// A BMP file: width x height pixels listed top row first, written bottom-up
// (or top-down with a negative height) at 24 or 32 bits.
std::vector<uint8_t> MakeBmp(int width, int height, int bitCount, const std::vector<Rgb>& topFirst,
                             bool topDown = false);
// An 8-bit BMP with the given colour table and indices (top row first);
// headerSize is the information header's size field (40, 108 or 124).
std::vector<uint8_t> MakeBmp8(int width, int height, const std::vector<Rgb>& palette,
                              const std::vector<uint8_t>& topFirst, uint32_t headerSize = 40);

// The RGBA bytes of buffer pixel (x, y) as one number: 0xAABBGGRR.
uint32_t PixelAt(const uint8_t* rgba, int rowPixels, int x, int y);
inline constexpr uint32_t Opaque(uint8_t r, uint8_t g, uint8_t b) {
    return 0xFF000000u | static_cast<uint32_t>(b) << 16 | static_cast<uint32_t>(g) << 8 | r;
}
