// The outcome of one of our own operations on a file, a folder or a port:
// success, or the step that failed with the system's error number and the
// path it was about. Every C++ interface of ours that can fail for a system
// reason returns one (the fixed binary interfaces keep their own codes).
//
//   if (auto s = writeWholeFile(path, bytes); !s.ok()) report(s.message());
//
// Errors: message() is "cannot <operation> '<path>': <strerror(errno)>", or
// with a reason text of ours (a file too short, a bad header) in place of the
// system's when there is no errno, or a whole text of its own where users
// already read one word for word (failure with a message).
// Threads: a value; any.
#pragma once
#include <string>

namespace platform {

class [[nodiscard]] Status {
public:
    Status() = default;  // success

    // A step that failed with the system's error number (errno, not 0).
    static Status failure(std::string operation, std::string path, int errorNumber);
    // A step that failed for a reason of our own, with no errno.
    static Status failure(std::string operation, std::string path, std::string reason);
    // A failed step (errno or 0) whose message() is `message` as it stands.
    static Status failureWithMessage(std::string operation, std::string path, int errorNumber, std::string message);

    bool ok() const { return operation_.empty(); }
    int errorNumber() const { return errorNumber_; }             // 0 on success or for a reason of our own
    const std::string& operation() const { return operation_; }  // "create", "write", "rename", ...
    const std::string& path() const { return path_; }
    // The one line a user reads; empty on success.
    std::string message() const;

private:
    std::string operation_, path_, reason_, message_;
    int errorNumber_ = 0;
};

}  // namespace platform
