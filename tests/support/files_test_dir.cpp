#include "support/files_test_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "core/error_log.h"
#include "platform/system.h"

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    static unsigned serial = 0;
    fs::path p = fs::temp_directory_path() / "brindle-files-tests" /
                 (std::to_string(static_cast<unsigned long long>(platform::QueryCounter())) + "-" +
                  std::to_string(++serial));
    fs::create_directories(p);
    dir_ = p.generic_string() + "/";
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
}

void PutFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::string FileBytes(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "<missing>";
    std::string bytes;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, n);
    std::fclose(f);
    return bytes;
}

std::string ErrorLogText() {
    std::string text = FileBytes(ErrorLogPath());
    return text == "<missing>" ? "" : text;
}
