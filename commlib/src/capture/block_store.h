// The block side of a capture: the preallocated 1 MiB block buffer, the block
// file being written, the flat or ring numbering and the roll-over. What the
// buffer holds reaches the file in appends (Append, and the rest at the
// block's end), so a process that dies loses only what was not yet appended;
// a block's end (when the writer asks) and the measurement's end also flush
// the file to the disk.
// Every file call goes through platform::fileCalls(), so tests can make any
// of them fail. Reports nothing itself; the capture writer tells the application.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "buffer/block_numbering.h"
#include "capture/record_units.h"
#include "pcbuffer/buffer_names.h"
#include "pcbuffer/folder_scan.h"
#include "platform/in_place_file.h"
#include "platform/status.h"

namespace commlib::capture {

// The first file operation of a measurement that failed; storing ends with it.
struct StoreFault {
    int op = 0;               // StoreOp* (commlib/remote.h); 0: nothing failed
    int error = 0;            // errno
    int block = -1;           // the block being written, -1 for the information file
    std::int64_t bytes = -1;  // that block's bytes on disk (whole words); -1: never created
    int lastComplete = -1;    // the newest block that was closed full before the failure
};

class BlockStore {
public:
    BlockStore();
    ~BlockStore();  // closes an open block file, flushing what it holds
    BlockStore(const BlockStore&) = delete;
    BlockStore& operator=(const BlockStore&) = delete;

    // Folder (null or empty: none), MaxBlocks and ring, as the buffer settings give them.
    void Configure(const char* folder, int maxBlocks, bool ring);
    const std::string& Folder() const { return folder_; }
    // A folder is set and blocks are allowed.
    bool Storing() const { return limits_.hasFolder && limits_.maxBlocks > 0; }

    // A new measurement: numbering from 0, an empty buffer and no fault (a
    // block still open from a measurement that never ended is closed first).
    void Restart();
    // Then the folder's "*.mkw" files are deleted (when storing) and block 0 opened.
    void ClearAndOpenFirst();
    // A measurement that goes on with the blocks `run` found (a run with
    // data; no block is open): no fault, the newest block opened to append
    // to, or the next one when it is full. A failure to open is the fault of
    // this measurement.
    void Continue(const pcbuffer::BufferScan& run);
    // Opens block NextBlock unless a limit says to drop from now on; false
    // when storing is impossible or the file cannot be created.
    bool OpenNext();
    // Appends to the file what the buffer holds beyond what is there already.
    // False after a failed write: the block is closed and storing has ended.
    bool Append();
    // Writes the rest of the buffer, flushes the file to the disk (unless
    // `sync` is false), closes it and counts the block. True when all of that
    // worked (or no file was open).
    bool Flush(bool sync = true);
    // The buffer is full: flushes the block (to the disk when `sync`), opens
    // the next one and gives up the oldest blocks of a ring. False when a
    // write, sync, close or create failed; no block file is open afterwards.
    bool RollOver(bool sync);
    // With a ring and a free-space floor: gives up the oldest complete blocks
    // while the disk's free space, less what the open block still needs, is
    // below `keepFree` bytes (0: none). Returns how many went; a deletion that
    // frees nothing (a reader still holds the file) ends the trimming.
    int KeepFree(std::int64_t keepFree);
    // Ends storing for this measurement after a failure elsewhere (the
    // information file): flushes the open block and opens no other.
    void Stop(const StoreFault& fault);

    // Set once the first operation failed; cleared by Restart.
    const StoreFault& Fault() const { return fault_; }

    bool BlockOpen() const { return file_.isOpen(); }
    // Room for whole words left in the buffer, and where the next one goes.
    std::size_t FreeWords() const { return (pcbuffer::kBlockBytes - held_) / pcbuffer::kRecordBytes; }
    std::uint8_t* Tail() { return buffer_.get() + held_; }
    // n words were written at Tail(); true when the buffer is now full.
    bool Advance(std::size_t words) {
        held_ += static_cast<int>(words * pcbuffer::kRecordBytes);
        return held_ >= pcbuffer::kBlockBytes;
    }

    int BytesHeld() const { return held_; }
    // Bytes of the current block that are in its file already.
    int BytesWritten() const { return written_; }
    const BlockRange& Range() const { return range_; }
    // After a folder scan: the range found and the size of the newest block.
    void Restore(const BlockRange& range, int bytesHeld);

private:
    bool WriteUpTo(int end);
    bool Fail(int op, const platform::Status& step);

    std::string folder_;
    BlockLimits limits_{};
    BlockRange range_{};
    std::unique_ptr<std::uint8_t[]> buffer_;
    int held_ = 0;     // bytes in the buffer
    int written_ = 0;  // of them, bytes in the file
    platform::InPlaceFile file_;
    StoreFault fault_{};
};

}  // namespace commlib::capture
