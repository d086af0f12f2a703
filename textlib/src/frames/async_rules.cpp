// ASYNC frames: a time stamp or the first character opens a frame of its
// direction; the next stamp of that direction, a break or a long enough idle
// time ends it.
#include "frames/frame_scan.h"

namespace textlib {
namespace {

constexpr int kStatusBcc = 2;
constexpr int kStatusBccError = 3;
constexpr int kStatusBreak = 8;
constexpr int kIdleLimit = 99;  // idle times above this end a frame

// The idle value in the analyzer's unit (body byte 30).
int IdleValue(std::uint32_t word, const std::uint8_t* body) {
    return (Byte(word, 3) * 256 + Byte(word, 1)) * IdleScale(body[info::kIdleUnit]);
}

class Async final : public ScanRules {
public:
    int HighestStatus() const override { return 8; }

    void Stamp(FrameScan& s, std::uint32_t word, int dir) override {
        if (s.HasOther(dir)) return s.NoteOther(dir);
        if (s.Done() || s.Delivered(dir)) return;
        if (s.Started()) {
            s.stopHere = true;  // the stamp opens the next frame
            return;
        }
        s.frame.timeStamp = StampOf(word);
        s.Begin(dir);
    }

    void Idle(FrameScan& s, std::uint32_t word) override {
        if (s.state != ScanState::Started || s.body[31] != 0) return;
        if (IdleValue(word, s.body) > kIdleLimit) s.state = ScanState::Done;
    }

    void Cell(FrameScan& s, std::uint16_t cell, int dir) override {
        if (s.HasOther(dir)) return s.NoteOther(dir);
        if (s.Done() || s.Delivered(dir)) return;
        int status = CellStatus(cell);
        if (!s.Started()) {
            s.Begin(dir);
            if (status == kStatusBreak) return s.End(kEndBreak);
            return s.Append(cell);
        }
        if (status == kStatusBcc) s.frame.endStatus = kEndGood;
        else if (status == kStatusBccError) s.frame.endStatus = kEndNg;
        else if (status == kStatusBreak) s.End(kEndBreak);
        else s.Append(cell);
    }
};

}  // namespace

ScanRules& AsyncRules() {
    static Async rules;
    return rules;
}

}  // namespace textlib
