// File operations of the dialogs over POSIX calls. A saved settings file is
// written whole and is on disk when the dialog says so.
#include "setxfer_flows/file_access.h"

#include "platform/syscalls.h"
#include "platform/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace setxfer::files {

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool has_extension(const std::string& path) {
    std::string name = std::filesystem::path(path).filename().string();
    auto dot = name.rfind('.');
    return dot != std::string::npos && dot > 0 && dot + 1 < name.size();
}

std::string write_whole(const std::string& path, std::string_view bytes) {
    return platform::writeWholeFile(path, bytes).message();
}

std::optional<std::string> read_at_most(const std::string& path, std::size_t limit) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string out;
    char chunk[65536];
    bool failed = false;
    while (out.size() < limit) {
        const ssize_t n =
            platform::retryOnEintr([&] { return ::read(fd, chunk, std::min(sizeof chunk, limit - out.size())); });
        if (n < 0) failed = true;  // a folder, or a read error: not a file we can use
        if (n <= 0) break;
        out.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (failed) return std::nullopt;
    return out;
}

std::string current_folder() {
    std::error_code ec;
    auto path = std::filesystem::current_path(ec);
    return ec ? std::string() : path.string();
}

}  // namespace setxfer::files
