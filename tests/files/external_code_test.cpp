// ImportFunction and RunProgram with real libraries and real programs.
#include <brindle/files.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "core/runtime_state.h"
#include "files_test_dir.h"
#include "platform/system.h"

namespace {
bool OnWindows() { return std::strcmp(platform::PlatformName(), "WIN32") == 0; }

// Polls for a condition, up to a generous limit.
template <typename F>
bool Eventually(F condition) {
    for (int i = 0; i < 600; ++i) {
        if (condition()) return true;
        platform::SleepMs(50);
    }
    return condition();
}
}  // namespace

TEST(ImportFunction, CallsALibraryFunctionThroughThePointer) {
    // The C library's cosine: libm on Linux, msvcrt on Windows.
    const char* library = OnWindows() ? "msvcrt.dll" : "libm.so.6";
    const size_t loadedBefore = runtime.files.loadedModules.size();
    void* pointer = nullptr;
    void* result = ImportFunction(library, "cos", pointer);
    ASSERT_NE(pointer, nullptr);
    EXPECT_EQ(result, pointer);
    auto cosine = reinterpret_cast<double (*)(double)>(pointer);
    EXPECT_NEAR(cosine(0.5), std::cos(0.5), 1e-15);

    EXPECT_EQ(ImportFunction(library, "no_such_function", pointer), nullptr);
    EXPECT_EQ(pointer, nullptr) << "an absent function stores null";
    EXPECT_EQ(runtime.files.loadedModules.size(), loadedBefore + 2) << "each call loads again";

    void* untouched = &pointer;
    EXPECT_EQ(ImportFunction("no-such-library-here", "cos", untouched), nullptr);
    EXPECT_EQ(untouched, &pointer);
    EXPECT_EQ(ImportFunction("", "cos", untouched), nullptr);
    EXPECT_EQ(runtime.files.loadedModules.size(), loadedBefore + 2);
}

TEST(ImportFunction, KernelTickCountOnWindows) {
    if (!OnWindows()) GTEST_SKIP() << "kernel32 is a Windows library";
    void* pointer = nullptr;
    ASSERT_NE(ImportFunction("kernel32", "GetTickCount", pointer), nullptr);
    // No arguments: the calling convention does not matter for the call.
    auto ticks = reinterpret_cast<uint32_t (*)()>(pointer);
    const uint32_t before = static_cast<uint32_t>(platform::MultimediaTimeMs());
    const uint32_t now = ticks();
    const uint32_t after = static_cast<uint32_t>(platform::MultimediaTimeMs());
    EXPECT_LE(before - 50, now);
    EXPECT_LE(now, after + 50);
}

TEST(RunProgram, WaitGivesTheExitCode) {
    struct Case {
        const char* onLinux;
        const char* onWindows;
        double exitCode;
    } cases[] = {
        {"exit 3", "cmd /c exit 3", 3},
        {"true", "cmd /c exit 0", 0},
        {"test \"a b\" = 'a b' && exit 7", "cmd /c exit 7", 7},
        {"exit 259", "cmd /c exit 259", OnWindows() ? 259.0 : 3.0},  // the still-active code; Linux keeps 8 bits
    };
    for (const Case& c : cases) {
        double exitCode = -1;
        EXPECT_EQ(RunProgram(OnWindows() ? c.onWindows : c.onLinux, 1, 0, exitCode), 1);
        EXPECT_EQ(exitCode, c.exitCode) << c.onLinux;
    }
}

TEST(RunProgram, WithoutWaitReturnsAtOnceAndTheProgramRuns) {
    ScratchDir scratch;
    const std::string marker = scratch.Path("ran.txt");
    std::string native = marker;
    if (OnWindows())
        for (char& ch : native)
            if (ch == '/') ch = '\\';
    const std::string command =
        OnWindows() ? "cmd /c echo ran> \"" + native + "\"" : "echo ran > '" + marker + "'";
    double exitCode = -1;
    EXPECT_EQ(RunProgram(command.c_str(), 0, 0, exitCode), 1);
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(Eventually([&] { return FileBytes(marker).rfind("ran", 0) == 0; }));
}

TEST(RunProgram, RefusesWhatCannotStart) {
    double exitCode = -1;
    EXPECT_EQ(RunProgram(std::string(600, 'x').c_str(), 1, 0, exitCode), 0);
    EXPECT_EQ(exitCode, 0);
    EXPECT_NE(ErrorLogText().find("RunProgram: command line too long"), std::string::npos);
    // A missing program: Windows cannot start it; the Linux shell starts and
    // reports it missing with its exit code 127.
    exitCode = -1;
    double started = RunProgram("no-such-program-anywhere", 1, 0, exitCode);
    EXPECT_EQ(started, OnWindows() ? 0 : 1);
    EXPECT_EQ(exitCode, OnWindows() ? 0 : 127);
}
