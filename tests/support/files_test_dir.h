// A scratch directory per test under the temporary directory, and whole-file
// reads and writes for checking files from outside the runtime.
#pragma once
#include <string>

class ScratchDir {
public:
    ScratchDir();   // a new empty directory
    ~ScratchDir();  // removed with its contents
    std::string Path(const std::string& name) const { return dir_ + name; }
    const std::string& dir() const { return dir_; }

private:
    std::string dir_;  // with trailing "/"
};

void PutFile(const std::string& path, const std::string& bytes);
std::string FileBytes(const std::string& path);  // "<missing>" when it cannot be read
// The error log's text as it stands ("" when there is none).
std::string ErrorLogText();
