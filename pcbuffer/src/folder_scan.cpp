// The validity rule of a PC buffer folder over its file list, and the same
// rule over a folder on disk.
#include "pcbuffer/folder_scan.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "pcbuffer/buffer_names.h"

namespace pcbuffer {

namespace fs = std::filesystem;

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using InfoFileHandle = std::unique_ptr<std::FILE, FileCloser>;

constexpr const char* kReadStep = "read";

// A short read: the system's reason when there is one, else the file ends early.
platform::Status ShortRead(const std::string& path, std::FILE* file) {
    if (std::ferror(file) && errno != 0) return platform::Status::failure(kReadStep, path, errno);
    return platform::Status::failure(kReadStep, path, "the information file is too short");
}

// Opens the information file and reads past its header into file; fails
// unless the file opens and its 20-byte header is there and starts with the magic.
platform::Status OpenInfoFile(const std::string& path, InfoFileHandle& file) {
    errno = 0;
    file.reset(std::fopen(path.c_str(), "rb"));
    if (!file) return platform::Status::failure("open", path, errno);
    std::array<char, kInfoHeaderSize> header{};
    if (std::fread(header.data(), 1, header.size(), file.get()) != header.size()) return ShortRead(path, file.get());
    if (std::memcmp(header.data(), kInfoMagic, kInfoMagicSize) != 0)
        return platform::Status::failure(kReadStep, path, "not a buffer information file");
    return {};
}
}  // namespace

BufferScan ScanBlockRun(std::span<const BufferFileEntry> entries) {
    int lowest = INT_MAX;
    int highest = -1;
    std::int64_t count = 0;
    std::int64_t highestSize = 0;
    for (const BufferFileEntry& entry : entries) {
        if (!IsBufferFileName(entry.name) || IsInfoFileName(entry.name)) continue;
        const auto number = BlockNumberOf(entry.name);
        if (!number) continue;
        ++count;
        if (*number < lowest) lowest = *number;
        if (*number > highest) {
            highest = *number;
            highestSize = entry.size;
        }
    }
    // Any gap (or a number listed twice, as "7.mkw" beside "00000007.mkw")
    // breaks the run that readers walk through.
    if (count == 0 || std::int64_t{highest} - lowest + 1 != count) return {};
    return BufferScan{true, lowest, highest, static_cast<int>(count), highestSize};
}

BufferScan ScanBufferEntries(std::span<const BufferFileEntry> entries,
                             const std::function<bool(const BufferFileEntry&)>& infoValid) {
    bool hasInfo = false;
    for (const BufferFileEntry& entry : entries)
        if (IsBufferFileName(entry.name) && IsInfoFileName(entry.name) && entry.size >= kInfoHeaderSize &&
            infoValid(entry))
            hasInfo = true;
    // Without its information the blocks cannot be read: the folder holds nothing.
    return hasInfo ? ScanBlockRun(entries) : BufferScan{};
}

std::vector<BufferFileEntry> ListBufferFiles(const std::string& folder) {
    std::vector<BufferFileEntry> files;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!IsBufferFileName(name)) continue;
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc)) continue;
        const auto size = it->file_size(fileEc);
        if (fileEc) continue;
        files.push_back({name, static_cast<std::int64_t>(size)});
    }
    return files;
}

platform::Status InfoHeaderValid(const std::string& path) {
    InfoFileHandle file;
    return OpenInfoFile(path, file);
}

platform::Status ReadInfoFile(const std::string& path, std::span<std::uint8_t, kInfoBodySize> body) {
    InfoFileHandle file;
    if (platform::Status opened = OpenInfoFile(path, file); !opened.ok()) return opened;
    std::array<std::uint8_t, kInfoBodySize> read;
    if (std::fread(read.data(), 1, read.size(), file.get()) != read.size()) return ShortRead(path, file.get());
    std::copy(read.begin(), read.end(), body.begin());
    return {};
}

BufferScan ScanBufferFolder(const char* folder) {
    if (!folder || !*folder) return {};
    const std::string dir = folder;
    const auto files = ListBufferFiles(dir);
    return ScanBufferEntries(
        files, [&dir](const BufferFileEntry& entry) { return InfoHeaderValid(BufferFilePath(dir, entry.name)).ok(); });
}

}  // namespace pcbuffer
