// The error log on Linux is written only into the user's own plain file:
// another local user may plant a link, a FIFO or a file of theirs under its
// name in a shared temporary folder.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/error_log.h"
#include "platform/system.h"

// Links, FIFOs and file owners as POSIX has them; the Windows log lives in
// the user's own temporary directory.
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

namespace {
std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Dir(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }
}  // namespace

TEST(ErrorLog, NeverWritesThroughALinkAFifoASecondNameOrAnotherUsersFile) {
    const std::string log = ErrorLogPath();
    ASSERT_FALSE(log.empty());
    const std::string victim = Dir(log) + "precious.txt";
    int reader = -1;
    struct Case {
        const char* what;
        bool rootOnly;                // only root can give a file away
        std::function<bool()> plant;  // false: not planted
    } cases[] = {
        {"symbolic link", false, [&] { return symlink(victim.c_str(), log.c_str()) == 0; }},
        {"hard link", false, [&] { return link(victim.c_str(), log.c_str()) == 0; }},
        {"FIFO with a reader", false,
         [&] {
             if (mkfifo(log.c_str(), 0666) != 0) return false;
             reader = open(log.c_str(), O_RDONLY | O_NONBLOCK);
             return reader >= 0;
         }},
        {"another user's file", true,
         [&] {
             std::ofstream(log, std::ios::binary) << "theirs\r\n";
             return chown(log.c_str(), 65534, 65534) == 0 && chmod(log.c_str(), 0666) == 0;
         }},
    };
    for (const Case& c : cases) {
        if (c.rootOnly && geteuid() != 0) continue;
        std::ofstream(victim, std::ios::binary) << "keep\n";
        unlink(log.c_str());
        ASSERT_TRUE(c.plant()) << c.what;
        AppendErrorLog("planted");
        EXPECT_EQ(Read(victim), "keep\n") << c.what;
        if (reader >= 0) {
            char byte;
            EXPECT_LT(read(reader, &byte, 1), 1) << "nothing written into the FIFO";
            close(reader);
            reader = -1;
        }
        struct stat st;
        if (lstat(log.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1)
            EXPECT_EQ(Read(log), "theirs\r\n") << c.what;
    }
    // Once the planted name is gone, the log is the user's own again.
    DeleteErrorLog();
    unlink(victim.c_str());
    AppendErrorLog("mine");
    AppendErrorLog("again");
    EXPECT_EQ(Read(log), "mine\r\nagain\r\n");
    struct stat st;
    ASSERT_EQ(stat(log.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "readable by its user alone";
}

// Without TMPDIR the log would go to /tmp, shared by every user: the user's
// own runtime folder is taken when it is private. The environment changes
// in a child process only (a death-test child: changing this process's
// environment while its other threads may read it is unsafe).
TEST(ErrorLog, WithoutTmpdirTheLogGoesToThePrivateRuntimeFolder) {
    ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
    const std::string tmp = std::getenv("TMPDIR");
    const std::string own = tmp + "/run-own", open = tmp + "/run-open", missing = tmp + "/missing";
    mkdir(own.c_str(), 0700);
    mkdir(open.c_str(), 0755);
    chmod(open.c_str(), 0755);
    struct {
        const char* tmpdir;  // null: unset
        const char* run;     // null: unset
        std::string expected;
    } cases[] = {
        {nullptr, own.c_str(), own + "/ErrorLog.txt"},
        {nullptr, open.c_str(), "/tmp/ErrorLog.txt"},  // others may enter it
        {nullptr, "relative/run", "/tmp/ErrorLog.txt"},
        {nullptr, missing.c_str(), "/tmp/ErrorLog.txt"},
        {nullptr, nullptr, "/tmp/ErrorLog.txt"},
        {tmp.c_str(), own.c_str(), tmp + "/ErrorLog.txt"},  // TMPDIR comes first
    };
    for (const auto& c : cases) {
        EXPECT_EXIT(
            {
                if (c.tmpdir) setenv("TMPDIR", c.tmpdir, 1);
                else unsetenv("TMPDIR");
                if (c.run) setenv("XDG_RUNTIME_DIR", c.run, 1);
                else unsetenv("XDG_RUNTIME_DIR");
                const std::string path = ErrorLogPath();
                std::fprintf(stderr, "log at %s\n", path.c_str());
                _exit(path == c.expected ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "")
            << "TMPDIR " << (c.tmpdir ? c.tmpdir : "unset") << ", XDG_RUNTIME_DIR "
            << (c.run ? c.run : "unset") << ": expected " << c.expected;
    }
}
#endif
