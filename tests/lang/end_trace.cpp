#include "end_trace.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// Points the temporary directory of the runtime at a fresh directory: TMPDIR
// is what the Linux target reads, TMP and TEMP what Windows reads. Death-test
// children inherit the variables and keep using the parent's directory.
class PrivateTempDirectory : public ::testing::Environment {
public:
    void SetUp() override {
        // Children start afresh (exec) instead of forking a process that may
        // already run the window system's threads. Set here, after the flags
        // are initialised.
        ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
        if (std::getenv("BRINDLE_TEST_TMP")) return;  // a death-test child
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        for (int attempt = 0;; ++attempt) {
            dir_ = fs::temp_directory_path() /
                   ("brindle-lang-" + std::to_string(stamp) + "-" + std::to_string(attempt));
            if (fs::create_directory(dir_)) break;
        }
        std::string path = dir_.string();
        // putenv keeps the pointers: the entries live as long as the process.
        static std::string entries[4];
        const char* names[4] = {"TMPDIR", "TMP", "TEMP", "BRINDLE_TEST_TMP"};
        for (int i = 0; i < 4; ++i) {
            entries[i] = std::string(names[i]) + "=" + path;
            putenv(entries[i].data());
        }
        owner_ = true;
    }
    void TearDown() override {
        if (!owner_) return;
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

private:
    fs::path dir_;
    bool owner_ = false;
};

const bool registered = [] {
    ::testing::AddGlobalTestEnvironment(new PrivateTempDirectory);
    return true;
}();

}  // namespace

std::vector<std::string> ErrorLogLines() {
    std::ifstream in(ErrorLogPath(), std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    std::string text = all.str();
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));  // an unterminated tail
    return lines;
}

std::vector<std::string> ExpectedEndTrace(int code, int line, int tag) {
    return {"-End On Line", std::to_string(code), std::to_string(line - 1), std::to_string(line),
            std::to_string(tag)};
}
