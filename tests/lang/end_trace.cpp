#include "end_trace.h"

#include <fstream>
#include <sstream>

namespace {

// Children start afresh (exec) instead of forking a process that may already
// run the window system's threads. Set before the first test, after the flags
// are initialised. (The temporary directory of its own comes from
// tests/support.)
class ThreadsafeDeathTests : public ::testing::Environment {
public:
    void SetUp() override { ::testing::GTEST_FLAG(death_test_style) = "threadsafe"; }
};

const bool registered = [] {
    ::testing::AddGlobalTestEnvironment(new ThreadsafeDeathTests);
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
