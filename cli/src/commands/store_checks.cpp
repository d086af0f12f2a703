// Folder checks before the start and the store-failure sentence.
#include "commands/store_checks.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "commlib/store_failure_text.h"
#include "pcbuffer/folder_scan.h"
#include "platform/folder_check.h"
#include "text/messages.h"
#include "text/stderr_lines.h"

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

std::optional<std::string> check_buffer_folder(const std::string& folder, int max_blocks, bool warn) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) return "the buffer folder '" + folder + "' is not a folder";
    if (const platform::Status probe = platform::probeFolderWritable(folder); !probe.ok())
        return "cannot write to the buffer folder '" + folder + "': " + std::strerror(probe.errorNumber()) + " (" +
               remedy(probe.errorNumber()) + ")";
    const std::int64_t free = platform::freeBytes(folder);
    const long long needed = max_blocks * kMiB;
    if (warn && free >= 0 && free < needed)
        say(Priority::Warning, "zamvex capture: warning: only " + std::to_string(free / kMiB) + " MiB free in '" +
                                   folder + "', " + std::to_string(max_blocks) + " blocks need " +
                                   std::to_string(needed / kMiB) + " MiB; the measurement stops when the disk is full");
    return std::nullopt;
}

std::optional<std::string> check_held_blocks(const std::string& folder, bool force, bool resume) {
    const auto files = pcbuffer::ListBufferFiles(folder);
    const pcbuffer::BufferScan run = pcbuffer::ScanBlockRun(files);
    bool any = false, bytes = false;
    for (const auto& f : files)
        if (pcbuffer::IsWrittenBlockName(f.name)) {
            any = true;
            bytes = bytes || f.size > 0;
        }
    if (!any || force) return std::nullopt;
    if (!resume) return std::string(message_text(Msg::StartWithData)) + "\nAdd --force to start anyway.";
    // Empty block files of a start that never got data are nothing to keep.
    if (run.hasData || !bytes) return std::nullopt;
    return "the blocks in '" + folder +
           "' do not run without a gap, so --resume cannot go on with them; move them away, or add --force "
           "to replace them";
}

std::string store_failure_text(const StoreFailure& f, const std::string& outcome) {
    std::string text = "could not store the measurement: " + DescribeStoreFailure(f);
    if (!outcome.empty()) text += "; " + outcome;
    return text + "\n(" + remedy(f.Error) + ")";
}

}  // namespace cli
