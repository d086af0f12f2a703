// Files written whole or not at all: the bytes go to a temporary name beside
// the target, are synced to disk and then renamed over the target, so a
// failure (disk full, read-only folder, a removed folder) never leaves a
// half-written file. Errors are one line naming the path and the system's
// reason. Every call goes through fileCalls(), so tests can make any step fail.
//
// Errors: false from the failing step, with error() one line naming the path
// and the system's reason and errorNumber() its errno; the target is then
// untouched.
// Threads: any; two writers of one path are not coordinated.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class WholeFile {
public:
    WholeFile() = default;
    ~WholeFile();  // an uncommitted temporary file is removed
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;

    // Creates the temporary file for `path`; false (error() set) on failure.
    bool open(const std::string& path);
    // Appends bytes; false on the first failure, and every later call fails too.
    bool write(const void* data, std::size_t size);
    bool write(std::string_view bytes) { return write(bytes.data(), bytes.size()); }
    // Syncs, closes and renames into place; false when any step failed.
    bool commit();
    // Removes the temporary file; the target stays as it was.
    void abandon();

    // "cannot create '<path>': <reason>" when the file could not be made,
    // "cannot write '<path>': <reason>" for a later step; empty while nothing failed.
    const std::string& error() const { return error_; }
    // The system's error number of the failure, 0 while nothing failed.
    int errorNumber() const { return errno_; }
    const std::string& path() const { return path_; }

private:
    bool fail(int err);

    std::string path_, temp_;
    int fd_ = -1;
    int errno_ = 0;
    std::string error_;
};

// Writes a whole file; empty on success, else the error line.
std::string writeWholeFile(const std::string& path, std::string_view bytes);

// Checks, before any work starts, that `path` could be written: its temporary
// file is made and removed again. Empty when it could, else the error line.
std::string probeWritable(const std::string& path);

// Makes a folder and the missing folders above it. Folders it made are removed
// again when it goes out of scope (those still empty), unless keep() was called:
// a job that fails before it starts leaves no folder behind.
class NewFolders {
public:
    NewFolders() = default;
    ~NewFolders();
    NewFolders(const NewFolders&) = delete;
    NewFolders& operator=(const NewFolders&) = delete;

    // Empty on success, else "cannot make the folder '<path>': <reason>".
    std::string make(const std::string& path);
    void keep() { made_.clear(); }

private:
    std::vector<std::string> made_;  // top down
};

// "cannot write '<path>': <strerror(err)>".
std::string writeErrorText(const std::string& path, int err);

}  // namespace platform
