// Runtime errors end the program through EndProgram, which exits the process.
// Tests run such statements in a death-test child with the debug trace on and
// read the error code back from the end trace that EndProgram appends to the
// error log. Each test executable gets its own temporary directory, so runs
// of other programs cannot mix lines into the log.
// Keep tests that start the runtime (a window) out of executables with such
// death tests: under Wine the child's end invalidates the whole screen, which
// waits for the parent's window while the parent waits for the child.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error_log.h"
#include "core/runtime_state.h"
#include <brindle/core.h>

// The lines of the error log (without "\r\n"); empty when there is none.
std::vector<std::string> ErrorLogLines();

// The five end-trace lines for an end with `code` after MarkLine(tag, line).
std::vector<std::string> ExpectedEndTrace(int code, int line, int tag);

// Runs `statement` with the debug trace on after MarkLine(5, 120), expects the
// process to end with exit code 0 and the end trace to hold `code`.
#define EXPECT_ENDS_WITH_ERROR(statement, code)                                    \
    do {                                                                           \
        DeleteErrorLog();                                                          \
        EXPECT_EXIT(                                                               \
            {                                                                      \
                runtime.debugTrace = 1;                                            \
                MarkLine(5, 120);                                                  \
                statement;                                                         \
            },                                                                     \
            ::testing::ExitedWithCode(0), "");                                     \
        EXPECT_EQ(ErrorLogLines(), ExpectedEndTrace((code), 120, 5)) << #statement; \
    } while (0)
