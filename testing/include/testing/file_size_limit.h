// The soft file size limit (RLIMIT_FSIZE) lowered while the object lives, with
// SIGXFSZ ignored so that a write past it fails with EFBIG instead of ending
// the process. Programs started meanwhile inherit both.
//
// Errors: set() is false when the limit could not be lowered.
// Threads: process-wide: one at a time.
#pragma once
#include <sys/resource.h>

namespace testing_util {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool set() const { return set_; }

private:
    rlimit saved_{};
    void (*old_action_)(int) = nullptr;
    bool set_ = false;
};

}  // namespace testing_util
