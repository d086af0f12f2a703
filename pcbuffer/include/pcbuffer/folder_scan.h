// What a PC buffer folder holds: the block range when the information file is
// valid and the block numbers run without a gap, else nothing. The capture
// writer, the conversions and the pcapng export all decide it with this rule.
// ScanBufferEntries is the rule over a file list alone (no disk); the others
// list and check a folder on disk.
//
// Errors: the scan and the listing have none: an unreadable or missing folder
// holds nothing (the scan says no blocks). Reading an information file gives a
// platform::Status: the system's reason, or why the file is no valid one.
// Threads: any; one folder scan reads the disk once.
#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "pcbuffer/buffer_names.h"
#include "platform/status.h"

namespace pcbuffer {

struct BufferFileEntry {
    std::string name;
    std::int64_t size = 0;
};

struct BufferScan {
    bool hasData = false;
    int firstBlock = 0;  // lowest block number
    int nextBlock = 0;   // highest block number: the block being (or last) written
    int blockCount = 0;
    std::int64_t currentBytes = 0;  // size of the highest block file
    bool operator==(const BufferScan&) const = default;
};

// The block numbers alone, whatever the information file: hasData when at
// least one block is there and the numbers run without a gap (what a
// measurement that continues a folder goes on from).
BufferScan ScanBlockRun(std::span<const BufferFileEntry> entries);

// entries: the folder's files (names not matching "*.mkw" are skipped).
// infoValid: asked, in list order, for every information file of at least the
// header's 20 bytes; true when it is a valid one (the folder's scan checks the
// header, a reader may also take the body here).
BufferScan ScanBufferEntries(std::span<const BufferFileEntry> entries,
                             const std::function<bool(const BufferFileEntry&)>& infoValid);

// The folder's "*.mkw" entries that are files (links followed), with sizes, in
// directory order. An unreadable or missing folder lists nothing.
std::vector<BufferFileEntry> ListBufferFiles(const std::string& folder);

// Success when the file opens, 20 bytes can be read and they start with "MIRLOKE DATAINFO".
platform::Status InfoHeaderValid(const std::string& path);
// InfoHeaderValid, and the information body after the header read in full
// into body; body is left as it was on failure.
platform::Status ReadInfoFile(const std::string& path, std::span<std::uint8_t, kInfoBodySize> body);

// The scan of a folder on disk; null or empty means no folder: nothing, all zero.
BufferScan ScanBufferFolder(const char* folder);

}  // namespace pcbuffer
