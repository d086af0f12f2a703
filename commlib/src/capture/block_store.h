// The block side of a capture: the preallocated 1 MiB block buffer, the block
// file being written, the flat or ring numbering and the roll-over with one
// 1 MiB write. Reports nothing itself; the capture writer tells the application.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "buffer/block_numbering.h"
#include "buffer/buffer_names.h"
#include "capture/block_file_io.h"
#include "capture/record_units.h"

namespace commlib::capture {

class BlockStore {
public:
    explicit BlockStore(BlockFileIo& io);
    ~BlockStore();   // closes an open block file, flushing what it holds
    BlockStore(const BlockStore&) = delete;
    BlockStore& operator=(const BlockStore&) = delete;

    // Folder (null or empty: none), MaxBlocks and ring, as the buffer settings give them.
    void Configure(const char* folder, int maxBlocks, bool ring);
    const std::string& Folder() const { return folder_; }
    // A folder is set and blocks are allowed.
    bool Storing() const { return limits_.hasFolder && limits_.maxBlocks > 0; }

    // A new measurement: numbering from 0 and an empty buffer (a block still
    // open from a measurement that never ended is closed first).
    void Restart();
    // Then the folder's "*.mkw" files are deleted (when storing) and block 0 opened.
    void ClearAndOpenFirst();
    // Opens block NextBlock unless a limit says to drop from now on; false
    // when storing is impossible or the file cannot be created.
    bool OpenNext();
    // Writes a partly filled buffer, closes the file and counts the block.
    // True when the write and the close both worked (or no file was open).
    bool Flush();
    // The buffer is full: writes it, closes the block, opens the next one and
    // gives up the oldest blocks of a ring. False when a write, close or
    // create failed; no block file is open afterwards.
    bool RollOver();

    bool BlockOpen() const { return file_ >= 0; }
    // Room for whole words left in the buffer, and where the next one goes.
    std::size_t FreeWords() const { return (BlockBytes - held_) / WordBytes; }
    std::uint8_t* Tail() { return buffer_.get() + held_; }
    // n words were written at Tail(); true when the buffer is now full.
    bool Advance(std::size_t words) {
        held_ += static_cast<int>(words * WordBytes);
        return held_ >= BlockBytes;
    }

    int BytesHeld() const { return held_; }
    const BlockRange& Range() const { return range_; }
    // After a folder scan: the range found and the size of the newest block.
    void Restore(const BlockRange& range, int bytesHeld);

private:
    bool WriteHeld(int bytes);

    BlockFileIo& io_;
    std::string folder_;
    BlockLimits limits_{};
    BlockRange range_{};
    std::unique_ptr<std::uint8_t[]> buffer_;
    int held_ = 0;
    int file_ = -1;
};

} // namespace commlib::capture
