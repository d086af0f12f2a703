// Opening and closing a buffer and mapping its block files one at a time.
#include "buffer_reader.h"

#include "textlib/live_records.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

namespace textlib {

BufferReader::~BufferReader() { Close(); }

bool BufferReader::Open(const char* path) {
    Close();
    if (path == nullptr || *path == '\0') return false;
    struct stat st {};
    if (::stat(path, &st) != 0) return false;
    bool ok = S_ISDIR(st.st_mode) ? ScanFolder(path) : OpenSingleFile(path);
    if (!ok) {
        Close();
        return false;
    }
    path_ = path;
    open_ = true;
    filter_ = 0;
    Seek(0);
    return true;
}

void BufferReader::Close() {
    SetWindow(nullptr, 0, 0);
    block_.Unmap();
    mappedBlock_ = -1;
    mappedWords_ = 0;
    currentBlock_ = blockCount_ = firstBlock_ = 0;
    path_.clear();
    single_ = nullptr;
    recordCount_ = 0;
    live_ = nullptr;
    body_.fill(0);  // a job started with nothing open sees no conditions at all
    open_ = false;
    spread_ = 0;
    forward_ = backward_ = ScanMemo{};
}

// A single data file: the 2038-byte information body, then the record words.
// The count stored in the body is trusted only as far as the file reaches, so
// a damaged count can never send a read past the mapping.
bool BufferReader::OpenSingleFile(const std::string& path) {
    if (!block_.Map(path) || block_.Size() < static_cast<std::size_t>(pcbuffer::kInfoBodySize)) {
        block_.Unmap();
        return false;
    }
    std::copy_n(block_.Data(), pcbuffer::kInfoBodySize, body_.begin());
    std::int32_t stored = 0;
    std::memcpy(&stored, body_.data() + info::kRecordCount, sizeof stored);
    std::int64_t available = static_cast<std::int64_t>((block_.Size() - pcbuffer::kInfoBodySize) / 4);
    recordCount_ = std::clamp<std::int64_t>(stored, 0, available);
    single_ = block_.Data() + pcbuffer::kInfoBodySize;
    SetWindow(single_, 0, recordCount_);
    firstBlock_ = 0;
    blockCount_ = 1;
    currentBlock_ = 0;
    folder_.clear();
    return true;
}

void BufferReader::OpenLive(LiveRecords& live, const std::uint8_t* body) {
    Close();
    std::copy_n(body, pcbuffer::kInfoBodySize, body_.begin());
    live_ = &live;
    liveTrimAt_ = 0;
    blockCount_ = 1;
    folder_.clear();
    path_ = "live";
    open_ = true;
    filter_ = 0;
    Seek(0);
}

// No reader looks back before the stream position, except the backward
// line-state search, which after its first run only looks at the records
// passed since its remembered stretch: words before both are let go now and
// then, so a long measurement does not pile up in memory.
std::uint32_t BufferReader::LiveWord(std::int64_t index) {
    if (index >= liveTrimAt_) {
        std::int64_t keep = backward_.valid ? std::min(pos_, backward_.to) : pos_;
        live_->DropBefore(keep);
        liveTrimAt_ = index + kLiveTrimEvery;
    }
    return live_->Read(index);
}

// Drops the mapped block and maps another. A block that is missing or cannot
// be mapped leaves nothing mapped and reads as the end of the data; the next
// read tries again.
std::uint32_t BufferReader::ReadWordElsewhere(std::int64_t index) {
    if (index < 0 || single_ != nullptr) return 0;  // a single file's words are all in the window
    if (live_ != nullptr) return LiveWord(index);
    std::int64_t block = firstBlock_ + index / kBlockWords;
    std::int64_t word = index % kBlockWords;
    if (block != mappedBlock_ && !MapBlock(block)) return 0;
    return word < mappedWords_ ? Load(block_.Data() + 4 * word) : 0;
}

bool BufferReader::MapBlock(std::int64_t block) {
    SetWindow(nullptr, 0, 0);
    block_.Unmap();
    mappedBlock_ = -1;
    mappedWords_ = 0;
    if (folder_.empty() || block < 0 || block >= pcbuffer::kBlockNumberLimit) return false;
    if (!block_.Map(pcbuffer::BlockFilePath(folder_, static_cast<int>(block)))) return false;
    mappedBlock_ = block;
    mappedWords_ = std::min<std::int64_t>(static_cast<std::int64_t>(block_.Size() / 4), kBlockWords);
    SetWindow(block_.Data(), (block - firstBlock_) * kBlockWords, mappedWords_);
    currentBlock_ = static_cast<int>(block);
    return true;
}

int BufferReader::CurrentBlock() const {
    if (single_ != nullptr || pos_ < 0) return firstBlock_;
    std::int64_t block = firstBlock_ + pos_ / kBlockWords;
    return static_cast<int>(std::min<std::int64_t>(block, pcbuffer::kBlockNumberLimit - 1));
}

}  // namespace textlib
