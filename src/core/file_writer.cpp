#include "core/file_writer.h"

#include <algorithm>
#include <cstdint>

#include "core/error_log.h"
#include "platform/system.h"

namespace {
FileWriteObserver observer = nullptr;

void Tell(FileWriteStep step, const std::string& target) {
    if (observer) observer(step, target.c_str());
}

void LogNotWritten(const char* target, const char* reason) {
    std::string line = std::string("File not written: ") + target;
    if (reason) line += std::string(" (") + reason + ")";
    AppendErrorLog(line.c_str());
}
}  // namespace

void SetFileWriteObserver(FileWriteObserver o) { observer = o; }

bool FileWriter::Open(const char* target) {
    Abandon();
    if (!target) target = "";
    if (const char* refusal = platform::ReplaceRefusal(target)) {
        LogNotWritten(target, refusal);
        return false;
    }
    target_ = target;
    file_ = platform::CreateFileBeside(target, temporary_);
    if (!file_) {
        LogNotWritten(target, nullptr);
        return false;
    }
    Tell(FileWriteStep::Created, target_);
    return true;
}

bool FileWriter::Write(const void* bytes, size_t count) {
    if (!file_) return false;
    const char* from = static_cast<const char*>(bytes);
    while (count > 0) {
        uint32_t n = static_cast<uint32_t>(std::min<size_t>(count, 1u << 20));
        if (platform::WriteToFile(file_, from, n) != n) {
            Fail();
            return false;
        }
        from += n;
        count -= n;
    }
    Tell(FileWriteStep::Wrote, target_);
    return true;
}

bool FileWriter::Commit() {
    if (!file_) return false;
    bool done = platform::FlushFileToDisk(file_);
    // A close that fails has lost written data.
    done = platform::CloseFile(file_) && done;
    file_ = nullptr;
    if (done) Tell(FileWriteStep::Flushed, target_);
    if (!done || !platform::ReplaceFileWith(temporary_.c_str(), target_.c_str())) {
        Fail();
        return false;
    }
    Tell(FileWriteStep::Replaced, target_);
    return true;
}

void FileWriter::Abandon() {
    if (!file_) return;
    platform::CloseFile(file_);
    file_ = nullptr;
    platform::DeleteFileAt(temporary_.c_str());
}

void FileWriter::Fail() {
    if (file_) platform::CloseFile(file_);
    file_ = nullptr;
    platform::DeleteFileAt(temporary_.c_str());
    LogNotWritten(target_.c_str(), nullptr);
}

bool WriteFileSafely(const char* path, const std::string& bytes) {
    FileWriter out;
    return out.Open(path) && out.Write(bytes.data(), bytes.size()) && out.Commit();
}
