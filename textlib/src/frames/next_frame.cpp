// The common frame scan: walks the raw record words from the reader's
// position, lets the mode's rules build one frame, then moves the position to
// where the other direction's data began so that no frame is missed.
#include "frames/frame_scan.h"

namespace textlib {
namespace {

ScanRules& RulesFor(int mode) {
    switch (mode) {
    case kSync: return SyncRules();
    case kHdlc:
    case kNrzi: return HdlcRules();
    case kPpp: return PppRules();
    default: return AsyncRules();
    }
}

void ResetFrame(Frame& frame, int filter) {
    frame.direction = (filter & kHideSd) ? kFrameRd : (filter & kHideRd) ? kFrameSd : kFrameUndecided;
    frame.endStatus = kEndNone;
    frame.count = 0;
    frame.timeStamp = 0;
    frame.dropped = 0;
}

void ApplyWord(FrameScan& s, ScanRules& rules, int highest, std::uint32_t w) {
    if (IsData(w)) {
        if (CellStatus(SdCell(w)) <= highest) rules.Cell(s, SdCell(w), kFrameSd);
        if (CellStatus(RdCell(w)) <= highest) rules.Cell(s, RdCell(w), kFrameRd);
        return;
    }
    int kind = static_cast<int>(w & 0x3F);
    if (kind == kKindTimeStamp) rules.Stamp(s, w, (w & 0x8000) ? kFrameRd : kFrameSd);
    else if (kind == kKindIdle) rules.Idle(s, w);
}

// One scan; returns the last word read (0 when the data ran out).
std::uint32_t Scan(FrameScan& s, ScanRules& rules) {
    rules.BeginScan(s);
    const int highest = rules.HighestStatus();
    for (;;) {
        std::uint32_t w = s.reader.ReadWord(s.i);
        if (w == 0) return 0;
        if (IsGap(w)) {
            // A gap inside a frame ends it; the next scan reports the gap itself.
            if (!s.Started()) {
                s.frame.direction = kFrameLost;
                ++s.i;
            }
            return w;
        }
        ApplyWord(s, rules, highest, w);
        if (s.stopHere) return w;
        ++s.i;
        if (s.Done()) return w;
    }
}

}  // namespace

bool NextFrame(BufferReader& reader, Frame& frame, std::int64_t end) {
    ScanRules& rules = RulesFor(reader.Info(info::kMode));
    const int filter = reader.Filter();
    for (;;) {
        ResetFrame(frame, filter);
        FrameScan s{reader, frame, reader.InfoBody()};
        s.i = reader.Pos();
        std::uint32_t last = Scan(s, rules);
        const bool empty = frame.direction != kFrameLost && frame.count == 0 && frame.timeStamp == 0;
        if (empty && last == 0) return false;  // the data ran out before a frame began

        if (frame.direction == kFrameSd) reader.SetSdResume(s.i);
        if (frame.direction == kFrameRd) reader.SetRdResume(s.i);
        bool oneWay = (filter & (kHideSd | kHideRd)) != 0;
        reader.SetPos(s.otherStart >= 0 && !oneWay ? s.otherStart : s.i);
        // A frame that ended before it held anything (a break or short-frame
        // mark first, an empty flag pair) is no frame: go on with the data
        // after it instead of ending the caller's loop.
        if (!empty) return true;
        if (reader.Pos() >= end) return false;
    }
}

}  // namespace textlib
