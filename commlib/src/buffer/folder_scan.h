// What a PC buffer folder holds, decided from its file list alone: the block
// range when the information file is valid and the block numbers run without
// a gap, else nothing. The caller lists the folder and checks the file's
// header, so the rule itself runs without touching a disk.
#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace commlib {

inline constexpr std::int64_t InfoFileMinSize = 20;

struct BufferFileEntry {
    std::string name;
    std::int64_t size = 0;
};

struct BufferScan {
    bool hasData = false;
    int firstBlock = 0;             // lowest block number
    int nextBlock = 0;              // highest block number: the block being (or last) written
    int blockCount = 0;
    std::int64_t currentBytes = 0;  // size of the highest block file
    bool operator==(const BufferScan&) const = default;
};

// entries: the folder's files (names not matching "*.mkw" are skipped).
// infoHeaderValid: asked only for an information file of at least 20 bytes;
// true when its first 20 bytes can be read and start with "MIRLOKE DATAINFO".
BufferScan ScanBufferEntries(std::span<const BufferFileEntry> entries,
                             const std::function<bool(const BufferFileEntry&)>& infoHeaderValid);

} // namespace commlib
