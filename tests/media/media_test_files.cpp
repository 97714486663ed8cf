#include "media_test_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/system.h"
#include "support/little_endian.h"

namespace fs = std::filesystem;

const std::string& ScratchDirectory() {
    static const std::string dir = [] {
        fs::path base = fs::temp_directory_path() / "brindle-media-tests";
        std::string name = "run" + std::to_string(static_cast<unsigned>(std::rand())) + "-" +
                           std::to_string(static_cast<unsigned long long>(
                               platform::QueryCounter()));
        fs::path p = base / name;
        fs::create_directories(p);
        return p.generic_string() + "/";
    }();
    return dir;
}

std::string ScratchPath(const std::string& name) { return ScratchDirectory() + name; }

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void WriteFileText(const std::string& path, const std::string& text) {
    WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(f);
    return bytes;
}

bool FileExistsAt(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f) std::fclose(f);
    return f != nullptr;
}

namespace {
// The variables each target's temporary directory comes from. (Windows has
// no setenv; _putenv also updates the environment GetTempPath reads.)
#ifdef _WIN32
const char* const kTempVariables[] = {"TMP", "TEMP"};
void SetVariable(const std::string& name, const std::optional<std::string>& value) {
    _putenv((name + "=" + value.value_or("")).c_str());  // "NAME=" removes it
}
#else
const char* const kTempVariables[] = {"TMPDIR"};
void SetVariable(const std::string& name, const std::optional<std::string>& value) {
    if (value) setenv(name.c_str(), value->c_str(), 1);
    else unsetenv(name.c_str());
}
#endif
}  // namespace

ScopedTempDirectory::ScopedTempDirectory(const std::string& dir) {
    for (const char* name : kTempVariables) {
        const char* old = std::getenv(name);
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        SetVariable(name, dir);
    }
}

ScopedTempDirectory::~ScopedTempDirectory() {
    for (const auto& [name, value] : saved_) SetVariable(name, value);
}

int RunPackTool(const std::string& arguments) {
    // The tool sits in the build's tools directory beside tests/; a Windows
    // test runs the Windows tool (same suffix as this executable).
    fs::path self(platform::ExecutablePath());
    fs::path tool = self.parent_path().parent_path() / "tools" / "brindle-pack";
    tool += self.extension();
    std::string command = tool.string() + " " + arguments;
    // Keep the tool's messages out of the test log unless asked for.
    if (arguments.find('>') == std::string::npos) command += " > " + ScratchPath("tool.out") + " 2>&1";
    int status = std::system(command.c_str());
    // POSIX system() reports a wait status; Windows the exit code itself.
    if (status > 255) status >>= 8;
    return status;
}

namespace {
void PutHeaders(std::vector<uint8_t>& out, uint32_t headerSize, uint32_t tableBytes, int width,
                int height, int bitCount, uint32_t imageBytes) {
    const uint32_t offset = 14 + headerSize + tableBytes;
    Put16(out, 19778);
    Put32(out, offset + imageBytes);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, headerSize);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bitCount));
    Put32(out, 0);
    Put32(out, imageBytes);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    out.resize(14 + headerSize, 0);  // later header versions: zero masks and colour space
}
}  // namespace

std::vector<uint8_t> MakeBmp(int width, int height, int bitCount, const std::vector<Rgb>& topFirst,
                             bool topDown) {
    const int bytes = bitCount / 8;
    const uint32_t rowLength = (static_cast<uint32_t>(width * bytes) + 3u) & ~3u;
    std::vector<uint8_t> out;
    PutHeaders(out, 40, 0, width, topDown ? -height : height, bitCount, rowLength * height);
    for (int i = 0; i < height; ++i) {
        const int row = topDown ? i : height - 1 - i;  // image row from the top
        size_t start = out.size();
        for (int x = 0; x < width; ++x) {
            const Rgb& p = topFirst[static_cast<size_t>(row) * width + x];
            out.push_back(p.b);
            out.push_back(p.g);
            out.push_back(p.r);
            if (bytes == 4) out.push_back(0x5A);  // ignored by the reader
        }
        out.resize(start + rowLength, 0xEE);     // padding bytes carry no meaning
    }
    return out;
}

std::vector<uint8_t> MakeBmp8(int width, int height, const std::vector<Rgb>& palette,
                              const std::vector<uint8_t>& topFirst, uint32_t headerSize) {
    const uint32_t rowLength = (static_cast<uint32_t>(width) + 3u) & ~3u;
    std::vector<uint8_t> out;
    PutHeaders(out, headerSize, static_cast<uint32_t>(palette.size()) * 4, width, height, 8,
               rowLength * height);
    for (const Rgb& c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (int i = height - 1; i >= 0; --i) {
        size_t start = out.size();
        for (int x = 0; x < width; ++x) out.push_back(topFirst[static_cast<size_t>(i) * width + x]);
        out.resize(start + rowLength, 0);
    }
    return out;
}

uint32_t PixelAt(const uint8_t* rgba, int rowPixels, int x, int y) {
    const uint8_t* p = rgba + (static_cast<size_t>(y) * rowPixels + x) * 4;
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

namespace {
// Removes the scratch directory after the last test.
class ScratchCleanup : public testing::Environment {
public:
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(ScratchDirectory(), ec);
    }
};
[[maybe_unused]] testing::Environment* const cleanup =
    testing::AddGlobalTestEnvironment(new ScratchCleanup);
}  // namespace
