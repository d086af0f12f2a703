// Random access to the record words of one PC buffer (a folder of block files
// or one single data file) and the filtered record stream the layouts consume.
// Only the conversion worker uses it while a job runs; nothing is locked.
#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "mapped_file.h"
#include "textlib/buffer_format.h"

namespace textlib {

class LiveRecords;

class BufferReader {
public:
    BufferReader() = default;
    virtual ~BufferReader();
    BufferReader(const BufferReader&) = delete;
    BufferReader& operator=(const BufferReader&) = delete;

    // Checks a buffer folder and takes its data-info body and block range.
    virtual bool ScanFolder(const char* folder);
    // Opens a buffer folder or a single data file; closes what was open first.
    virtual bool Open(const char* path);
    virtual void Close();
    // Reads the words of a running measurement (live/live_records.h) with its
    // information body; a read past the newest word waits for the next words.
    void OpenLive(LiveRecords& live, const std::uint8_t* body);

    // The raw word at a record index; 0 past the end, before the start or where
    // a block file is missing or cannot be mapped.
    std::uint32_t ReadWord(std::int64_t index) {
        // Nearly every read falls in the words mapped last.
        if (index >= windowBegin_ && index < windowEnd_) return Load(window_ + 4 * (index - windowBegin_));
        return ReadWordElsewhere(index);
    }

    void SetFilter(int flags) { filter_ = flags; }
    int Filter() const { return filter_; }
    // Moves the stream and both resume positions to a record index.
    void Seek(std::int64_t index);
    // The next record after filtering; idle times and time stamps come four
    // times, with the column 0..3 in bits 2-3. 0 at the end of data.
    std::uint32_t NextRecord() {
        if (spread_ != 0) return SpreadColumn();
        // Most records are data words shown as they are.
        if ((filter_ & (kHideSd | kHideRd)) == 0) {
            const std::uint32_t w = ReadWord(pos_);
            if (IsData(w) && (w & kBothNone) != kBothNone) {
                ++pos_;
                return w;
            }
        }
        return NextRecordOfAnyKind();
    }
    // The line-state word in force at the stream position (before and after
    // bytes equal), or 0 when none can be found.
    std::uint32_t FindLineState();

    bool IsOpen() const { return open_; }
    bool IsSingleFile() const { return single_ != nullptr; }
    bool IsLive() const { return live_ != nullptr; }
    std::int64_t RecordCount() const { return recordCount_; }
    int FirstBlock() const { return firstBlock_; }
    int BlockCount() const { return blockCount_; }
    // The block holding the stream position, for progress reports.
    int CurrentBlock() const;
    struct Progress {
        int current;  // block of the stream position
        int first;    // oldest block of the buffer
    };
    Progress BlockProgress() const { return Progress{CurrentBlock(), firstBlock_}; }
    const std::uint8_t* InfoBody() const { return body_.data(); }
    int Info(int offset) const { return body_[static_cast<std::size_t>(offset)]; }

    // Copies the words from `index` on that lie in the mapped block (or
    // single file), at most `count`; how many (0 when `index` is not mapped).
    int CopyMapped(std::int64_t index, std::uint32_t* out, int count) const {
        if (index < windowBegin_ || index >= windowEnd_) return 0;
        const int n = static_cast<int>(std::min<std::int64_t>(count, windowEnd_ - index));
        std::memcpy(out, window_ + 4 * (index - windowBegin_), 4 * static_cast<std::size_t>(n));  // as Load
        return n;
    }

    // Stream and resume positions; frame delimitation moves them directly.
    std::int64_t Pos() const { return pos_; }
    void SetPos(std::int64_t pos) { pos_ = pos; }
    std::int64_t SdResume() const { return sdResume_; }
    void SetSdResume(std::int64_t index) { sdResume_ = index; }
    std::int64_t RdResume() const { return rdResume_; }
    void SetRdResume(std::int64_t index) { rdResume_ = index; }

private:
    static std::uint32_t Load(const std::uint8_t* p) {
        std::uint32_t w;  // single data files need not be aligned
        std::memcpy(&w, p, sizeof w);
        return w;  // record words are little endian, as is every host we build for
    }
    // Both cells of a data word with no character (status 15).
    static constexpr std::uint32_t kBothNone = 0x000F000F;
    std::uint32_t NextRecordOfAnyKind();
    std::uint32_t ReadWordElsewhere(std::int64_t index);
    bool MapBlock(std::int64_t block);
    void SetWindow(const std::uint8_t* words, std::int64_t begin, std::int64_t count) {
        window_ = words;
        windowBegin_ = begin;
        windowEnd_ = begin + count;
    }
    std::uint32_t LiveWord(std::int64_t index);
    bool OpenSingleFile(const std::string& path);
    // Returns the saved special word for the next column; the stream moves past
    // the word once its fourth column has gone out.
    std::uint32_t SpreadColumn() {
        const std::uint32_t w = (spreadWord_ & ~0xCu) | (static_cast<std::uint32_t>(spread_) << 2);
        if (++spread_ == 4) {
            spread_ = 0;
            ++pos_;
        }
        return w;
    }
    bool Hidden(std::uint32_t& w) const;
    std::uint32_t ScanForward();
    std::uint32_t ScanBackward();

    std::string path_;
    std::string folder_;  // block files live here (folder mode only)
    int currentBlock_ = 0;
    int blockCount_ = 0;
    int firstBlock_ = 0;
    bool open_ = false;

    MappedFile block_;               // the one mapped block file, or the single file
    std::int64_t mappedBlock_ = -1;  // -1: no block mapped
    std::int64_t mappedWords_ = 0;
    std::array<std::uint8_t, pcbuffer::kInfoBodySize> body_{};

    // The record indexes [windowBegin_, windowEnd_) are mapped at window_ (none when equal).
    const std::uint8_t* window_ = nullptr;
    std::int64_t windowBegin_ = 0, windowEnd_ = 0;
    const std::uint8_t* single_ = nullptr;  // first record word of a single data file
    std::int64_t recordCount_ = 0;
    LiveRecords* live_ = nullptr;  // the words of a running measurement, or none
    std::int64_t liveTrimAt_ = 0;  // the next read index at which old words are let go

    std::uint32_t spreadWord_ = 0;
    std::int64_t pos_ = 0;
    int spread_ = 0;
    std::int64_t sdResume_ = 0;
    std::int64_t rdResume_ = 0;
    int filter_ = 0;

    // FindLineState runs at the start of every block of columns; remembering
    // the stretch each scan covered keeps a sparse line-state buffer linear.
    struct ScanMemo {
        bool valid = false;
        std::int64_t from = 0, to = 0;  // positions for which the scan gives `result`
        std::uint32_t result = 0;
    };
    ScanMemo forward_, backward_;
};

}  // namespace textlib
