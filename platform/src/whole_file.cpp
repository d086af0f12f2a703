// Temporary file, sync, rename: the one way our programs write a finished file.
#include "platform/whole_file.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include "platform/syscalls.h"

namespace platform {

std::string WholeFile::temporaryPath(const std::string& path) {
    // The process id keeps two programs writing the same name apart; a stale
    // temporary file of an earlier run with the same id is replaced.
    return path + "." + std::to_string(::getpid()) + ".part";
}

WholeFile::~WholeFile() { abandon(); }

Status WholeFile::fail(const Status& step) {
    // Before the temporary file exists nothing was written: the file could not be made.
    if (status_.ok())
        status_ = Status::failure(step.operation() == "create" ? "create" : "write", path_, step.errorNumber());
    abandon();
    return status_;
}

Status WholeFile::open(const std::string& path, mode_t mode) {
    abandon();
    path_ = path;
    status_ = {};
    if (Status s = temp_.create(temporaryPath(path), mode); !s.ok()) return fail(s);
    committed_ = false;
    return {};
}

Status WholeFile::setMode(mode_t mode) {
    if (!temp_.isOpen()) return status_;
    if (Status s = temp_.setMode(mode); !s.ok()) return fail(s);
    return {};
}

Status WholeFile::write(const void* data, std::size_t size) {
    if (!temp_.isOpen()) return status_;
    if (Status s = temp_.write(data, size); !s.ok()) return fail(s);
    return {};
}

Status WholeFile::commit() {
    if (!temp_.isOpen()) return status_;
    if (Status s = temp_.sync(); !s.ok()) return fail(s);
    if (Status s = temp_.close(); !s.ok()) return fail(s);
    if (fileCalls().rename(temp_.path().c_str(), path_.c_str()) != 0)
        return fail(Status::failure("rename", temp_.path(), errno != 0 ? errno : EIO));
    committed_ = true;
    return {};
}

void WholeFile::abandon() {
    if (committed_) return;
    (void)temp_.close();
    fileCalls().unlink(temp_.path().c_str());
    committed_ = true;
}

Status writeWholeFile(const std::string& path, std::string_view bytes) {
    WholeFile file;
    if (Status s = file.open(path); !s.ok()) return s;
    if (Status s = file.write(bytes); !s.ok()) return s;
    return file.commit();
}

namespace {
bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
}  // namespace

Status probeWritable(const std::string& path) {
    WholeFile file;
    Status s = file.open(path);
    file.abandon();
    return s;
}

NewFolders::~NewFolders() {
    // Deepest first; rmdir leaves a folder that holds anything.
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) ::rmdir(it->c_str());
}

Status NewFolders::make(const std::string& path) {
    if (path.empty() || isFolder(path)) return {};
    // Each missing folder from the top down; one that appears meanwhile is fine.
    std::size_t at = 0;
    do {
        at = path.find('/', at + 1);
        const std::string part = path.substr(0, at);
        if (isFolder(part)) continue;
        if (fileCalls().mkdir(part.c_str(), 0777) == 0) {
            made_.push_back(part);
            continue;
        }
        const int err = errno;
        if (err == EEXIST && isFolder(part)) continue;
        return Status::failure("make the folder", path, err);
    } while (at != std::string::npos);
    return {};
}

}  // namespace platform
