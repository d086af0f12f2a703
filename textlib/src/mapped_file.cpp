// Read-only whole-file mapping on mmap; the descriptor is closed right after
// mapping since the view keeps the file's pages reachable on its own.
#include "mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace textlib {

bool MappedFile::Map(const std::string& path) {
    Unmap();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    std::size_t size = static_cast<std::size_t>(st.st_size);
    if (size > 0) {
        void* view = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
        if (view == MAP_FAILED) {
            ::close(fd);
            return false;
        }
        data_ = static_cast<const std::uint8_t*>(view);
    }
    ::close(fd);
    size_ = size;
    mapped_ = true;
    return true;
}

void MappedFile::Unmap() {
    if (data_ != nullptr) ::munmap(const_cast<std::uint8_t*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
    mapped_ = false;
}

}  // namespace textlib
