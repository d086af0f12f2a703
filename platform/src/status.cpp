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

std::string Status::message() const {
    if (ok()) return {};
    return "cannot " + operation_ + " '" + path_ + "': " + reason_;
}

}  // namespace platform
