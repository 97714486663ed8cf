// ImportFunction and RunProgram with real libraries and real programs: the
// suite's own child program and library sit beside its executable.
#include <brindle/files.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/runtime_state.h"
#include "support/files_test_dir.h"
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

// Works in a scratch directory of its own, away from the executable's
// folder: a name found there was found beside the program, not in the
// current directory.
class AwayFromTheProgram : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = CurrentDirectory().Text();
        ASSERT_EQ(ChangeDirectory(scratch_.dir().c_str()), 1);
    }
    void TearDown() override { ChangeDirectory(home_.c_str()); }
    std::string Here(const char* name) const { return scratch_.Path(name); }

    ScratchDir scratch_;
    std::string home_;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

const char kChild[] = "brindle_child_program";
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

TEST_F(AwayFromTheProgram, ImportFunctionFindsALibraryBesideTheProgramByItsBareName) {
    const char* library = OnWindows() ? "brindleplugin.dll" : "brindleplugin.so";
    void* pointer = nullptr;
    ASSERT_NE(ImportFunction(library, "BrindlePluginAnswer", pointer), nullptr) << library;
    EXPECT_EQ(reinterpret_cast<int (*)()>(pointer)(), 42);
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

// The program gets the arguments a Windows program's start-up code splits
// from the line, and nothing in the line is run as shell code. Under Wine
// the table is checked against the real C runtime's splitting.
TEST_F(AwayFromTheProgram, RunProgramSplitsTheLineByTheWindowsRulesAndRunsNoShell) {
    struct Case {
        std::string tail;  // after the program's name
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {" x ; echo x>injected.txt", {"x", ";", "echo", "x>injected.txt"}},
        {" $(touch injected.txt) `touch injected.txt` | && 'a b' $HOME %PATH%",
         {"$(touch", "injected.txt)", "`touch", "injected.txt`", "|", "&&", "'a", "b'", "$HOME", "%PATH%"}},
        {"\t \"a b c\"  d\te ", {"a b c", "d", "e"}},
        {" \"ab\\\"c\" \"\\\\\" d", {"ab\"c", "\\", "d"}},
        {" a\\\\\\b d\"e f\"g h", {"a\\\\\\b", "de fg", "h"}},
        {" a\\\\\\\"b c d", {"a\\\"b", "c", "d"}},
        {" a\\\\\\\\\"b c\" d e", {"a\\\\b c", "d", "e"}},
        {" \"\" empty \"unclosed at end", {"", "empty", "unclosed at end"}},
        {" a\"b\"\" c d", {"ab\" c d"}},  // two quotes inside quotes: one, still quoted
        {"", {}},
    };
    for (const Case& c : cases) {
        for (const char* name : {"child-args.txt", "injected.txt"}) RemoveFile(Here(name).c_str());
        const std::string line = kChild + c.tail;
        double exitCode = -1;
        ASSERT_EQ(RunProgram(line.c_str(), 1, 0, exitCode), 1) << line;
        EXPECT_EQ(exitCode, 0) << line;
        const std::string written = FileBytes(Here("child-args.txt"));
        ASSERT_NE(written, "<missing>") << line;
        EXPECT_EQ(Lines(written), c.args) << line;
        EXPECT_EQ(FileExists(Here("injected.txt").c_str()), 0) << line;
    }
    // A quoted program name ends at its closing quote.
    double exitCode = -1;
    EXPECT_EQ(RunProgram((std::string("\"") + kChild + "\"x exit 5").c_str(), 1, 0, exitCode), 1);
    EXPECT_EQ(exitCode, 5);
}

TEST_F(AwayFromTheProgram, RunProgramWaitGivesTheExitCode) {
    struct Case {
        const char* tail;
        double onWindows, onLinux;  // Linux keeps 8 bits of a program's own code
        bool bothTargets;
    } cases[] = {
        {" exit 3", 3, 3, true},
        {"", 0, 0, true},
        {" exit 255", 255, 255, true},
        {" exit 259", 259, 3, true},  // Windows' still-active code
        {" exit 70000", 70000, 70000 % 256, true},
        {" abort", 3, 3, true},
        // A crash gives the code of its exception. Under Wine it would start
        // the debugger first: Linux only.
        {" trap", 0xC000001D, 0xC000001D, false},
    };
    for (const Case& c : cases) {
        if (OnWindows() && !c.bothTargets) continue;
        double exitCode = -1;
        EXPECT_EQ(RunProgram((kChild + std::string(c.tail)).c_str(), 1, 0, exitCode), 1) << c.tail;
        EXPECT_EQ(exitCode, OnWindows() ? c.onWindows : c.onLinux) << c.tail;
    }
}

TEST_F(AwayFromTheProgram, RunProgramWithoutWaitReturnsAtOnceAndTheProgramRuns) {
    double exitCode = -1;
    EXPECT_EQ(RunProgram((kChild + std::string(" ran \"in the background\"")).c_str(), 0, 0, exitCode), 1);
    EXPECT_EQ(exitCode, 0);
    ASSERT_TRUE(Eventually([&] { return FileBytes(Here("child-args.txt")) != "<missing>"; }));
    EXPECT_EQ(FileBytes(Here("child-args.txt")), "ran\nin the background\n");
}

TEST(RunProgram, RefusesWhatCannotStart) {
    double exitCode = -1;
    EXPECT_EQ(RunProgram(std::string(600, 'x').c_str(), 1, 0, exitCode), 0);
    EXPECT_EQ(exitCode, 0);
    EXPECT_NE(ErrorLogText().find("RunProgram: command line too long"), std::string::npos);
    // A missing program is not started, on both targets alike.
    // A blank before the program's name names none.
    const std::string blankFirst = std::string(" ") + kChild, quotes = std::string(kChild) + "\"\"";
    for (const char* line : {"no-such-program-anywhere", "no-such-program-anywhere ; true", "", "  ",
                             "\"\" x", "./no/such/folder/program", blankFirst.c_str(), quotes.c_str()}) {
        exitCode = -1;
        EXPECT_EQ(RunProgram(line, 1, 0, exitCode), 0) << line;
        EXPECT_EQ(exitCode, 0) << line;
    }
}
