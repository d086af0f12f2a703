// Folder checks before the start and the store-failure sentence.
#include "commands/store_checks.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "commlib/store_failure_text.h"
#include "platform/folder_check.h"

namespace cli {
namespace {

constexpr long long kMiB = 1 << 20;

// What the user can do about the system's reason.
const char* remedy(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT: return "free some space on that disk or choose another --folder";
    case EFBIG: return "the file system or the file size limit (ulimit -f) does not allow 1 MiB block files";
    case EROFS:
    case EACCES:
    case EPERM: return "choose a --folder you can write to";
    case ENOENT: return "the folder was removed while the measurement ran";
    default: return "check the disk and the folder, then measure again";
    }
}

}  // namespace

std::optional<std::string> check_buffer_folder(const std::string& folder, int max_blocks, std::FILE* warnings) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) return "the buffer folder '" + folder + "' is not a folder";
    if (const int error = platform::probeFolderWritable(folder); error != 0)
        return "cannot write to the buffer folder '" + folder + "': " + std::strerror(error) + " (" + remedy(error) +
               ")";
    const std::int64_t free = platform::freeBytes(folder);
    const long long needed = max_blocks * kMiB;
    if (warnings && free >= 0 && free < needed)
        std::fprintf(warnings,
                     "zamvex capture: warning: only %lld MiB free in '%s', %d blocks need %lld MiB; the measurement "
                     "stops when the disk is full\n",
                     static_cast<long long>(free / kMiB), folder.c_str(), max_blocks, needed / kMiB);
    return std::nullopt;
}

std::string store_failure_text(const StoreFailure& f, const std::string& outcome) {
    std::string text = "could not store the measurement: " + DescribeStoreFailure(f);
    if (!outcome.empty()) text += "; " + outcome;
    return text + "\n(" + remedy(f.Error) + ")";
}

}  // namespace cli
