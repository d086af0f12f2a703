// Folder listing, information-file check, scan and clearing of a PC buffer.
#include "buffer/buffer_folder.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "buffer/buffer_names.h"
#include "buffer/data_set_file_format.h"

namespace commlib {

namespace fs = std::filesystem;

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// The "*.mkw" names in the folder, collected before anything is changed.
std::vector<fs::directory_entry> BufferEntries(const std::string& folder) {
    std::vector<fs::directory_entry> found;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec))
        if (IsBufferFileName(it->path().filename().string())) found.push_back(*it);
    return found;
}
} // namespace

std::vector<BufferFileEntry> ListBufferFiles(const std::string& folder) {
    std::vector<BufferFileEntry> files;
    for (const auto& entry : BufferEntries(folder)) {
        std::error_code ec;
        if (!entry.is_regular_file(ec)) continue;
        const auto size = entry.file_size(ec);
        if (ec) continue;
        files.push_back({entry.path().filename().string(), static_cast<std::int64_t>(size)});
    }
    return files;
}

bool InfoHeaderValid(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    std::array<std::uint8_t, DataSetHeaderSize> header{};
    if (std::fread(header.data(), 1, header.size(), file.get()) != header.size()) return false;
    return MagicMatches(header, MagicDataInfo);
}

BufferScan ScanBufferFolder(const char* folder) {
    if (!folder || !*folder) return {};
    const std::string dir = folder;
    const auto files = ListBufferFiles(dir);
    return ScanBufferEntries(files, [&dir](const BufferFileEntry& entry) {
        return InfoHeaderValid(BufferFilePath(dir, entry.name));
    });
}

int ClearBufferFolder(const std::string& folder) {
    int deleted = 0;
    for (const auto& entry : BufferEntries(folder)) {
        std::error_code ec;
        const auto status = entry.symlink_status(ec);
        if (ec || !(fs::is_regular_file(status) || fs::is_symlink(status))) continue;
        if (fs::remove(entry.path(), ec) && !ec) ++deleted;
    }
    return deleted;
}

bool DeleteBlockFile(const std::string& folder, int number) {
    std::error_code ec;
    return fs::remove(BlockFilePath(folder, number), ec) && !ec;
}

} // namespace commlib
