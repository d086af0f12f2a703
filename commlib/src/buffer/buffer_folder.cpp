// Clearing a PC buffer folder and deleting its block files.
#include "buffer/buffer_folder.h"

#include <filesystem>
#include <vector>

#include "pcbuffer/buffer_names.h"

namespace commlib {

namespace fs = std::filesystem;

int ClearBufferFolder(const std::string& folder) {
    // The "*.mkw" names are collected before anything is changed.
    std::vector<fs::directory_entry> found;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec))
        if (pcbuffer::IsBufferFileName(it->path().filename().string())) found.push_back(*it);
    int deleted = 0;
    for (const auto& entry : found) {
        std::error_code entryEc;
        const auto status = entry.symlink_status(entryEc);
        if (entryEc || !(fs::is_regular_file(status) || fs::is_symlink(status))) continue;
        if (fs::remove(entry.path(), entryEc) && !entryEc) ++deleted;
    }
    return deleted;
}

bool DeleteBlockFile(const std::string& folder, int number) {
    std::error_code ec;
    return fs::remove(pcbuffer::BlockFilePath(folder, number), ec) && !ec;
}

}  // namespace commlib
