// The token ring between the two control machines and the print layout.
#include "control/control_sequence_filter.h"

namespace textlib {
namespace {

// A cell with no character in this direction; both marker bits set so the
// word it completes reads as a data word whichever half it fills.
constexpr std::uint16_t kNoCell = 0x003F;

}  // namespace

void ControlSequenceFilter::Reset(std::int64_t startIndex, std::int64_t end, std::function<bool()> keepGoing) {
    read_ = write_ = 0;
    end_ = end;
    keepGoing_ = std::move(keepGoing);
    sinceAsked_ = 0;
    family_ = ControlFamilyFor(reader_.Info(info::kMode), reader_.Info(info::kCode));
    sd_.Reset(family_);
    rd_.Reset(family_);
    reader_.Seek(startIndex);
}

void ControlSequenceFilter::Push(std::uint16_t cell, bool rd) {
    if (write_ - read_ >= kRingSize) return;  // cannot happen: the ring is fed only when empty
    ring_[write_++ % kRingSize] = Entry{cell, rd};
}

void ControlSequenceFilter::Feed(std::uint32_t word) {
    ControlOutput sd = sd_.Feed(SdCell(word));
    for (int k = 0; k < sd.count; ++k) PushSd(sd.cells[k]);
    ControlOutput rd = rd_.Feed(RdCell(word));
    for (int k = 0; k < rd.count; ++k) PushRd(rd.cells[k]);
}

std::uint32_t ControlSequenceFilter::NextToken() {
    while (!HasTokens()) {
        if (reader_.Pos() >= end_) return 0;
        if (keepGoing_ && ++sinceAsked_ % kAskEvery == 0 && !keepGoing_()) return 0;
        std::uint32_t w = reader_.NextRecord();
        if (w == 0 || !IsData(w)) return w;
        Feed(w);
    }
    Entry e = ring_[read_++ % kRingSize];
    if (e.rd) return std::uint32_t{e.cell} << 16 | kNoCell;
    // A check mark passed on from the SD half keeps its own bits; make sure
    // the word still reads as a data word.
    std::uint16_t sd = (e.cell & 0x30) != 0 ? e.cell : static_cast<std::uint16_t>(e.cell | 0x10);
    return std::uint32_t{kNoCell} << 16 | sd;
}

}  // namespace textlib
