// The runtime's one way of writing a file (INI and line files, CopyFileData,
// HttpGetFile): never in place. The bytes go to a new temporary file beside
// the target (same directory, name "<target>.~<process>-<n>"), are flushed
// to the disk, and only a complete file is renamed over the target in one
// step. A failed write, a full disk, a crash or a kill at any moment leaves
// the target as it was (the old file, or none): a reader sees the old file
// or the new one, never a part. Only a process that dies between creating
// and renaming leaves its temporary file behind.
//
//     FileWriter out;
//     if (out.Open("scores.dat")) {  // false: not started (refused, logged)
//         out.Write(bytes, n);       // as often as needed; false once
//         ...                        // any write has failed
//         out.Commit();              // true: the target holds every byte
//     }                              // not committed: Abandon (destructor)
//
// or, for bytes already in memory, WriteFileSafely(path, bytes).
//
// Open refuses a target that may not be replaced (platform::ReplaceRefusal:
// a read-only file, a directory, a file this process has open for reading)
// and leaves it untouched. Every refusal and failure goes to the error log
// as "File not written: <target>", followed by " (<reason>)" for a refusal.
#pragma once
#include <cstddef>
#include <string>

#include "platform/files.h"

class FileWriter {
public:
    FileWriter() = default;
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;
    ~FileWriter() { Abandon(); }

    // Starts a new file for `target` (a writer already open is abandoned
    // first); false when it was refused or the temporary file could not be
    // made.
    bool Open(const char* target);
    // Appends bytes; false when a write failed, which ends the writer as a
    // failed Commit does (later calls do nothing and give false).
    bool Write(const void* bytes, size_t count);
    // Flushes and puts the new file in the target's place; false, the
    // target untouched and the temporary file removed, when any step failed.
    // The writer is closed afterwards either way.
    bool Commit();
    // Removes the temporary file; the target stays as it was. Nothing when
    // the writer is not open.
    void Abandon();
    bool IsOpen() const { return file_ != nullptr; }

private:
    void Fail();
    platform::File file_ = nullptr;
    std::string target_, temporary_;
};

// FileWriter in one call: true when `path` now holds `bytes`.
bool WriteFileSafely(const char* path, const std::string& bytes);

// For tests that stop a process part-way through a write: an observer is
// told each step a writer reaches, with the target's name. Null: none.
enum class FileWriteStep { Created, Wrote, Flushed, Replaced };
using FileWriteObserver = void (*)(FileWriteStep step, const char* target);
void SetFileWriteObserver(FileWriteObserver observer);
