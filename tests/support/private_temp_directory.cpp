// Every test executable gets a temporary directory of its own, removed at the
// end: the error log, extracted media and scratch files live in the
// temporary directory, and other programs (other suites, other checkouts on
// the same machine) must not mix lines into the log or delete it between a
// test's write and its read. TMPDIR is what the Linux target reads, TMP and
// TEMP what Windows reads. Death-test children and programs a test starts
// inherit the variables and use the parent's directory.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

class PrivateTempDirectory : public ::testing::Environment {
public:
    void SetUp() override {
        if (std::getenv("BRINDLE_TEST_TMP")) return;  // a child: the parent's directory
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        for (int attempt = 0;; ++attempt) {
            dir_ = fs::temp_directory_path() /
                   ("brindle-test-" + std::to_string(stamp) + "-" + std::to_string(attempt));
            if (fs::create_directory(dir_)) break;  // a fresh name, never one already there
        }
        const std::string path = dir_.string();
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
