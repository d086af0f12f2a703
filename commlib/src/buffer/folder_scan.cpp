// The validity rule of a PC buffer folder over its file list.
#include "buffer/folder_scan.h"

#include <climits>

#include "buffer/buffer_names.h"

namespace commlib {

BufferScan ScanBufferEntries(std::span<const BufferFileEntry> entries,
                             const std::function<bool(const BufferFileEntry&)>& infoHeaderValid) {
    bool infoValid = false;
    int lowest = INT_MAX;
    int highest = -1;
    std::int64_t count = 0;
    std::int64_t highestSize = 0;
    for (const BufferFileEntry& entry : entries) {
        if (!IsBufferFileName(entry.name)) continue;
        if (IsInfoFileName(entry.name)) {
            if (entry.size >= InfoFileMinSize && infoHeaderValid(entry)) infoValid = true;
            continue;
        }
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
    // breaks the run that readers walk through, so the folder holds nothing.
    if (!infoValid || count == 0 || std::int64_t{highest} - lowest + 1 != count) return {};
    return BufferScan{true, lowest, highest, static_cast<int>(count), highestSize};
}

} // namespace commlib
