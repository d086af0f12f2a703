// The filtered record stream: direction hiding, dropped record kinds, idle
// times and time stamps spread over four display columns, and the search for
// the line state in force.
#include "buffer_reader.h"

namespace textlib {

// A job starts with a Seek. The last block may have grown since the previous
// job (a conversion during a measurement), so its mapping and the remembered
// line-state searches are dropped and taken afresh.
void BufferReader::Seek(std::int64_t index) {
    pos_ = sdResume_ = rdResume_ = index;
    spread_ = 0;
    forward_ = backward_ = ScanMemo{};
    if (single_ == nullptr) {
        SetWindow(nullptr, 0, 0);
        block_.Unmap();
        mappedBlock_ = -1;
        mappedWords_ = 0;
    }
}

// Blanks the hidden directions of a data word; true when nothing is left of it.
bool BufferReader::Hidden(std::uint32_t& w) const {
    if (filter_ & kHideSd) w |= 0x0000000F;
    if (filter_ & kHideRd) w |= 0x000F0000;
    return CellStatus(SdCell(w)) == kStatusNone && CellStatus(RdCell(w)) == kStatusNone;
}

std::uint32_t BufferReader::NextRecordOfAnyKind() {
    if (spread_ != 0) return SpreadColumn();
    for (;; ++pos_) {
        std::uint32_t w = ReadWord(pos_);
        if (w == 0) return 0;
        if (IsGap(w)) {
            ++pos_;
            return w;
        }
        if (IsData(w)) {
            if (Hidden(w)) continue;
            ++pos_;
            return w;
        }
        switch (w & 0x3F) {
        case kKindLineState:
            if (filter_ & kSkipLineState) continue;
            ++pos_;
            return w;
        case kKindIdle:
            if (filter_ & kSkipIdle) continue;
            break;
        case kKindTimeStamp: {
            bool rd = (w & 0x8000) != 0;
            if ((filter_ & kSkipTimeStamp) || (filter_ & (rd ? kHideRd : kHideSd))) continue;
            break;
        }
        default: continue;
        }
        spreadWord_ = w;
        return SpreadColumn();
    }
}

std::uint32_t BufferReader::FindLineState() {
    std::uint32_t w = ScanForward();
    return w != 0 ? w : ScanBackward();
}

// The next line-state change before the data stop; its "before" state in both bytes.
std::uint32_t BufferReader::ScanForward() {
    if (forward_.valid && pos_ >= forward_.from && pos_ <= forward_.to) return forward_.result;
    std::int64_t i = pos_;
    std::uint32_t result = 0;
    for (;; ++i) {
        // Through the mapped words, pass over everything but the end, a gap and a line state.
        for (; i >= windowBegin_ && i < windowEnd_; ++i) {
            const std::uint32_t w = Load(window_ + 4 * (i - windowBegin_));
            if (w == 0 || IsGap(w) || (w & 0x3F) == kKindLineState) break;
        }
        std::uint32_t w = ReadWord(i);
        if (w == 0 || IsGap(w)) break;
        if (IsLineState(w)) {
            result = (w & 0x00FFFFFFu) | (static_cast<std::uint32_t>(Byte(w, 1)) << 24);
            break;
        }
    }
    forward_ = ScanMemo{true, pos_, i, result};
    return result;
}

// The last line-state change since the data began or resumed after a gap; its
// "after" state in both bytes. Moving forward past the remembered stretch only
// the records passed since are looked at: behind them the answer is known.
std::uint32_t BufferReader::ScanBackward() {
    if (backward_.valid && pos_ >= backward_.from && pos_ <= backward_.to) return backward_.result;
    const bool extend = backward_.valid && pos_ > backward_.to;
    const std::int64_t low = extend ? backward_.to : 0;
    for (std::int64_t i = pos_ - 1; i >= low; --i) {
        std::uint32_t w = ReadWord(i);
        if (w == 0 || IsGap(w) || IsLineState(w)) {
            std::uint32_t result =
                IsLineState(w) ? (w & 0xFFFF00FFu) | (static_cast<std::uint32_t>(Byte(w, 3)) << 8) : 0;
            backward_ = ScanMemo{true, i + 1, pos_, result};
            return result;
        }
    }
    if (extend) {
        backward_.to = pos_;
        return backward_.result;
    }
    backward_ = ScanMemo{true, 0, pos_, 0};
    return 0;
}

}  // namespace textlib
