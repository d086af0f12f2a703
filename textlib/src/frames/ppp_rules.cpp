// PPP frames: the 0x7E flag character opens and closes a frame, a break ends
// it, and a time stamp gives it its direction. Without stamps a frame keeps
// the direction undecided and takes the characters of both directions.
#include "frames/frame_scan.h"

namespace textlib {
namespace {

constexpr int kBreak = 8;
constexpr int kFlag = 0x7E;

class Ppp final : public ScanRules {
public:
    int HighestStatus() const override { return kBreak; }

    void Stamp(FrameScan& s, std::uint32_t word, int dir) override {
        if (s.HasOther(dir)) return s.NoteOther(dir);
        if (s.Done() || s.Delivered(dir)) return;
        s.frame.timeStamp = StampOf(word);
        s.Begin(dir);
    }

    // The other direction's characters never mark where its data began: only
    // its time stamps do.
    void Cell(FrameScan& s, std::uint16_t cell, int dir) override {
        if (s.HasOther(dir) || s.Done() || s.Delivered(dir)) return;
        int status = CellStatus(cell);
        if (!s.Started()) {
            if (status == kBreak) {
                s.Begin(dir);
                s.End(kEndBreak);
            } else if (CellChar(cell) == kFlag) {
                s.Begin(kFrameUndecided);
            }
            return;
        }
        if (status == kBreak) return s.End(kEndBreak);
        if (CellChar(cell) == kFlag) {
            if (s.frame.count > 0) s.state = ScanState::Done;
            return;
        }
        s.Append(cell);
    }
};

}  // namespace

ScanRules& PppRules() {
    static Ppp rules;
    return rules;
}

}  // namespace textlib
