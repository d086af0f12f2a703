// A whole file mapped read-only; the reader keeps one of these per open block
// (or for the single data file) and drops it before mapping the next.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace textlib {

class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile() { Unmap(); }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Maps the whole regular file; false (with nothing kept) when it cannot be
    // opened, is not a regular file or cannot be mapped. An empty file maps as
    // zero bytes with no view.
    bool Map(const std::string& path);
    void Unmap();

    bool Mapped() const { return mapped_; }
    const std::uint8_t* Data() const { return data_; }
    std::size_t Size() const { return size_; }

private:
    bool mapped_ = false;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace textlib
