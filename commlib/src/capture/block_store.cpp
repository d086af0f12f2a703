// Block buffer, block files and the numbering of flat and ring buffers.
#include "capture/block_store.h"

#include "buffer/buffer_folder.h"
#include "commlib/remote.h"
#include "pcbuffer/buffer_names.h"
#include "platform/folder_check.h"

namespace commlib::capture {

BlockStore::BlockStore() : buffer_(new std::uint8_t[pcbuffer::kBlockBytes]) {}

BlockStore::~BlockStore() { (void)Flush(); }

void BlockStore::Configure(const char* folder, int maxBlocks, bool ring) {
    folder_ = folder ? folder : "";
    limits_ = BlockLimits{!folder_.empty(), maxBlocks, ring};
}

void BlockStore::Restore(const BlockRange& range, int bytesHeld) {
    range_ = range;
    held_ = bytesHeld;
    written_ = bytesHeld;
}

void BlockStore::Restart() {
    // A measurement that starts again without having ended first must not
    // leave the old block's file descriptor behind.
    (void)Flush();
    range_ = StartRange();
    held_ = 0;
    written_ = 0;
    fault_ = {};
}

void BlockStore::ClearAndOpenFirst() {
    if (Storing()) (void)ClearBufferFolder(folder_);
    (void)OpenNext();
}

void BlockStore::Continue(const pcbuffer::BufferScan& run) {
    fault_ = {};
    if (run.currentBytes >= pcbuffer::kBlockBytes) {
        // The newest block is complete: the next one follows it.
        range_ = {run.firstBlock, run.nextBlock + 1, run.blockCount};
        if (OpenNext())
            for (const int oldest : TrimRing(range_, limits_)) (void)DeleteBlockFile(folder_, oldest);
        return;
    }
    range_ = {run.firstBlock, run.nextBlock, run.blockCount - 1};
    held_ = static_cast<int>(run.currentBytes);
    written_ = held_;
    // The block is there with its bytes, it only would not open.
    if (const platform::Status s = file_.openToAppend(pcbuffer::BlockFilePath(folder_, range_.nextBlock), true);
        !s.ok())
        fault_ = {StoreOpCreate, s.errorNumber(), range_.nextBlock, written_, range_.nextBlock - 1};
}

int BlockStore::KeepFree(std::int64_t keepFree) {
    if (keepFree <= 0 || !limits_.ring || !file_.isOpen()) return 0;
    int given = 0;
    std::int64_t free = platform::freeBytes(folder_);
    while (free >= 0 && free - (pcbuffer::kBlockBytes - held_) < keepFree && range_.blockCount > 0) {
        const int oldest = range_.nextBlock - range_.blockCount;
        (void)DeleteBlockFile(folder_, oldest);
        range_.firstBlock = oldest + 1;
        --range_.blockCount;
        ++given;
        const std::int64_t after = platform::freeBytes(folder_);
        if (after <= free) break;
        free = after;
    }
    return given;
}

bool BlockStore::Fail(int op, const platform::Status& step) {
    if (fault_.op == 0)
        fault_ = {op, step.errorNumber(), range_.nextBlock, op == StoreOpCreate ? -1 : written_, range_.nextBlock - 1};
    return false;
}

bool BlockStore::OpenNext() {
    if (fault_.op != 0) return false;
    switch (DecideNextBlock(range_, limits_)) {
    case NextBlock::Fail: return false;
    case NextBlock::Drop: return true;
    case NextBlock::Create: break;
    }
    held_ = 0;
    written_ = 0;
    const platform::Status s = file_.create(pcbuffer::BlockFilePath(folder_, range_.nextBlock), 0644, true);
    return s.ok() || Fail(StoreOpCreate, s);
}

bool BlockStore::WriteUpTo(int end) {
    if (written_ >= end) return true;
    std::size_t done = 0;
    const platform::Status s = file_.write(buffer_.get() + written_, static_cast<std::size_t>(end - written_), &done);
    written_ += static_cast<int>(done);
    if (s.ok()) return true;
    // A disk that filled up mid-write leaves part of a word. Cut the file
    // back to whole record words so that every word a reader finds is one we stored.
    if (written_ % pcbuffer::kRecordBytes != 0) {
        written_ -= written_ % pcbuffer::kRecordBytes;
        (void)file_.truncate(written_);
    }
    return Fail(StoreOpWrite, s);
}

bool BlockStore::Append() {
    if (!file_.isOpen()) return fault_.op == 0;
    if (WriteUpTo(held_)) return true;
    (void)Flush();  // only closes now: storing has ended
    return false;
}

bool BlockStore::Flush(bool sync) {
    if (!file_.isOpen()) return true;
    // After a failure nothing more is written; the file is only closed.
    bool ok = fault_.op == 0 && WriteUpTo(held_);
    if (ok && sync)
        if (const platform::Status s = file_.syncData(); !s.ok()) ok = Fail(StoreOpSync, s);
    if (const platform::Status s = file_.close(); !s.ok() && ok) ok = Fail(StoreOpClose, s);
    CloseBlock(range_);
    return ok;
}

bool BlockStore::RollOver(bool sync) {
    if (!file_.isOpen()) return false;
    if (!Flush(sync) || !OpenNext()) return false;
    for (const int oldest : TrimRing(range_, limits_)) (void)DeleteBlockFile(folder_, oldest);
    return true;
}

void BlockStore::Stop(const StoreFault& fault) {
    (void)Flush();
    if (fault_.op == 0) fault_ = fault;
}

}  // namespace commlib::capture
