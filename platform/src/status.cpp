#include "platform/status.h"

#include <cstring>
#include <utility>

namespace platform {

Status Status::failure(std::string operation, std::string path, int errorNumber) {
    Status s;
    s.operation_ = std::move(operation);
    s.path_ = std::move(path);
    s.errorNumber_ = errorNumber;
    s.reason_ = std::strerror(errorNumber);
    return s;
}

Status Status::failure(std::string operation, std::string path, std::string reason) {
    Status s;
    s.operation_ = std::move(operation);
    s.path_ = std::move(path);
    s.reason_ = std::move(reason);
    return s;
}

Status Status::failureWithMessage(std::string operation, std::string path, int errorNumber, std::string message) {
    Status s = errorNumber != 0 ? failure(std::move(operation), std::move(path), errorNumber)
                                : failure(std::move(operation), std::move(path), std::string());
    s.message_ = std::move(message);
    return s;
}

std::string Status::message() const {
    if (ok()) return {};
    if (!message_.empty()) return message_;
    return "cannot " + operation_ + " '" + path_ + "': " + reason_;
}

}  // namespace platform
