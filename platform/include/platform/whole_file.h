// Files written whole or not at all: the bytes go to a temporary name beside
// the target, are synced to disk and then renamed over the target, so a
// failure (disk full, read-only folder, a removed folder) never leaves a
// half-written file. Every call goes through fileCalls(), so tests can make
// any step fail.
//
// Errors: a Status from the failing step, "cannot create '<path>': <reason>"
// when the file could not be made, "cannot write '<path>': <reason>" for any
// later step (write, sync, close, rename); the target is then untouched.
// Threads: any; two writers of one path are not coordinated.
#pragma once
#include <sys/types.h>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/in_place_file.h"
#include "platform/status.h"

namespace platform {

class WholeFile {
public:
    WholeFile() = default;
    ~WholeFile();  // an uncommitted temporary file is removed
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;

    // Creates the temporary file for `path`, with `mode` before the umask.
    Status open(const std::string& path, mode_t mode = 0666);
    // Gives the file exactly `mode`, whatever the umask.
    Status setMode(mode_t mode);
    // Appends bytes; the first failure is given again by every later call.
    Status write(const void* data, std::size_t size);
    Status write(std::string_view bytes) { return write(bytes.data(), bytes.size()); }
    // Syncs, closes and renames into place.
    Status commit();
    // Removes the temporary file; the target stays as it was.
    void abandon();

    // The first failure; ok while nothing failed.
    const Status& status() const { return status_; }
    const std::string& path() const { return path_; }

    // The temporary name `path` is written under until the commit.
    static std::string temporaryPath(const std::string& path);

private:
    Status fail(const Status& step);

    std::string path_;
    InPlaceFile temp_;
    bool committed_ = true;  // nothing of ours to remove
    Status status_;
};

// Writes a whole file.
Status writeWholeFile(const std::string& path, std::string_view bytes);

// Checks, before any work starts, that `path` could be written: its temporary
// file is made and removed again.
Status probeWritable(const std::string& path);

// Makes a folder and the missing folders above it. Folders it made are removed
// again when it goes out of scope (those still empty), unless keep() was called:
// a job that fails before it starts leaves no folder behind.
class NewFolders {
public:
    NewFolders() = default;
    ~NewFolders();
    NewFolders(const NewFolders&) = delete;
    NewFolders& operator=(const NewFolders&) = delete;

    // "cannot make the folder '<path>': <reason>" on failure.
    Status make(const std::string& path);
    void keep() { made_.clear(); }

private:
    std::vector<std::string> made_;  // top down
};

}  // namespace platform
