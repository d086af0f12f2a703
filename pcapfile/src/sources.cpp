// Where a reader's bytes come from: memory, or a file read through stdio's
// buffer (the reader asks for a block at a time, never the whole file).
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "pcapfile/capture_reader.h"

namespace pcapfile {
namespace {

class Memory final : public Source {
public:
    explicit Memory(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::size_t Read(std::uint8_t* into, std::size_t size) override {
        const std::size_t n = std::min(size, bytes_.size() - at_);
        if (n > 0) std::memcpy(into, bytes_.data() + at_, n);
        at_ += n;
        return n;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

class File final : public Source {
public:
    explicit File(std::FILE* f) : file_(f) {}
    ~File() override { std::fclose(file_); }
    std::size_t Read(std::uint8_t* into, std::size_t size) override {
        const std::size_t n = std::fread(into, 1, size, file_);
        if (n < size && std::ferror(file_)) failure_ = std::strerror(errno);
        return n;
    }
    std::string Failure() const override { return failure_; }

private:
    std::FILE* file_;
    std::string failure_;
};

}  // namespace

std::unique_ptr<Source> MemorySource(std::span<const std::uint8_t> bytes) { return std::make_unique<Memory>(bytes); }

std::unique_ptr<Source> FileSource(const std::string& path, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "rbe");
    if (f == nullptr) {
        error = path + ": " + std::strerror(errno);
        return nullptr;
    }
    return std::make_unique<File>(f);
}

std::unique_ptr<CaptureReader> OpenCaptureFile(const std::string& path, std::string& error) {
    auto source = FileSource(path, error);
    if (!source) return nullptr;
    return std::make_unique<CaptureReader>(std::move(source), path);
}

}  // namespace pcapfile
