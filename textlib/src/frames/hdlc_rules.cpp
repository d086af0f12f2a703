// HDLC and NRZI frames: the analyzer marks the opening and closing flags, the
// FCS check, aborts and short frames in the cell status; a time stamp of a
// direction opens a frame of that direction as well.
#include "frames/frame_scan.h"

namespace textlib {
namespace {

enum Status {
    kFcsGood = 2,
    kFcsError = 3,
    kBreak = 8,
    kAbort = 9,
    kOpeningFlag = 10,
    kClosingFlag = 11,
    kShortFrame = 12,
};

class Hdlc final : public ScanRules {
public:
    int HighestStatus() const override { return kShortFrame; }

    // A later stamp of the same direction replaces the first: the frame
    // begins at its opening flag, and the last stamp before it is its time.
    void Stamp(FrameScan& s, std::uint32_t word, int dir) override {
        if (s.HasOther(dir)) return s.NoteOther(dir);
        if (s.Done() || s.Delivered(dir)) return;
        s.frame.timeStamp = StampOf(word);
        s.Begin(dir);
    }

    void Cell(FrameScan& s, std::uint16_t cell, int dir) override {
        int status = CellStatus(cell);
        if (s.HasOther(dir)) {
            if (status == kOpeningFlag) s.NoteOther(dir);
            return;
        }
        if (s.Done() || s.Delivered(dir)) return;
        if (!s.Started()) {
            if (status == kOpeningFlag) s.Begin(dir);
            return;
        }
        switch (status) {
        case kFcsGood: s.frame.endStatus = kEndGood; break;
        case kFcsError: s.frame.endStatus = kEndNg; break;
        case kBreak:
        case kAbort: s.frame.endStatus = kEndAbort; break;  // the bytes up to the closing flag still follow
        case kOpeningFlag: break;
        case kClosingFlag: s.state = ScanState::Done; break;
        case kShortFrame: s.End(kEndShort); break;
        default: s.Append(cell); break;
        }
    }
};

}  // namespace

ScanRules& HdlcRules() {
    static Hdlc rules;
    return rules;
}

}  // namespace textlib
