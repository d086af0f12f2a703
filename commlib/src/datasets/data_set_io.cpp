// Bounded file reads and checked file writes for data-set files.
#include "datasets/data_set_io.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace commlib {

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
}  // namespace

bool ReadFilePrefix(const char* path, std::size_t limit, std::vector<std::uint8_t>& out) {
    out.clear();
    if (!path) return false;
    std::FILE* raw = std::fopen(path, "rb");
    if (!raw) return false;
    std::unique_ptr<std::FILE, FileCloser> file(raw);
    // Grow in steps so that a short file never costs the whole limit.
    constexpr std::size_t Step = 64 * 1024;
    while (out.size() < limit) {
        const std::size_t want = std::min(Step, limit - out.size());
        const std::size_t had = out.size();
        out.resize(had + want);
        const std::size_t got = std::fread(out.data() + had, 1, want, file.get());
        out.resize(had + got);
        if (got < want) return !std::ferror(file.get());
    }
    return true;
}

bool WriteFileParts(const char* path, std::initializer_list<std::span<const std::uint8_t>> parts) {
    if (!path) return false;
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    bool ok = true;
    for (auto part : parts)
        if (!part.empty() && std::fwrite(part.data(), 1, part.size(), file) != part.size()) ok = false;
    // The close flushes the buffered bytes; a full disk shows up here.
    if (std::fclose(file) != 0) ok = false;
    return ok;
}

}  // namespace commlib
