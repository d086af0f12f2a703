// Block buffer, block files and the numbering of flat and ring buffers.
#include "capture/block_store.h"

#include "buffer/buffer_folder.h"

namespace commlib::capture {

BlockStore::BlockStore(BlockFileIo& io) : io_(io), buffer_(new std::uint8_t[BlockBytes]) {}

BlockStore::~BlockStore() { (void)Flush(); }

void BlockStore::Configure(const char* folder, int maxBlocks, bool ring) {
    folder_ = folder ? folder : "";
    limits_ = BlockLimits{!folder_.empty(), maxBlocks, ring};
}

void BlockStore::Restore(const BlockRange& range, int bytesHeld) {
    range_ = range;
    held_ = bytesHeld;
}

void BlockStore::Restart() {
    // A measurement that starts again without having ended first must not
    // leave the old block's file descriptor behind.
    (void)Flush();
    range_ = StartRange();
    held_ = 0;
}

void BlockStore::ClearAndOpenFirst() {
    if (Storing()) (void)ClearBufferFolder(folder_);
    (void)OpenNext();
}

bool BlockStore::OpenNext() {
    switch (DecideNextBlock(range_, limits_)) {
    case NextBlock::Fail: return false;
    case NextBlock::Drop: return true;
    case NextBlock::Create: break;
    }
    held_ = 0;
    file_ = io_.Create(BlockFilePath(folder_, range_.nextBlock));
    return file_ >= 0;
}

bool BlockStore::WriteHeld(int bytes) {
    const long written = io_.Write(file_, buffer_.get(), static_cast<std::size_t>(bytes));
    if (written == bytes) return true;
    // A disk that filled up mid-write leaves part of the block. Cut it back to
    // whole record words so that every word a reader finds is one we stored.
    if (written > 0 && written % static_cast<long>(WordBytes) != 0)
        (void)io_.Truncate(file_, written - written % static_cast<long>(WordBytes));
    return false;
}

bool BlockStore::Flush() {
    if (file_ < 0) return true;
    bool ok = true;
    if (held_ >= 1 && held_ < BlockBytes) ok = WriteHeld(held_);
    ok = io_.Close(file_) && ok;
    file_ = -1;
    CloseBlock(range_);
    return ok;
}

bool BlockStore::RollOver() {
    if (file_ < 0) return false;
    if (!WriteHeld(BlockBytes)) {
        (void)Flush();
        return false;
    }
    if (!Flush() || !OpenNext()) return false;
    for (const int oldest : TrimRing(range_, limits_)) (void)DeleteBlockFile(folder_, oldest);
    return true;
}

} // namespace commlib::capture
