// SYNC frames: a time stamp or the configured sync characters (compared under
// the character-length mask) open a frame; the configured run of end-of-frame
// characters closes it.
#include "frames/frame_scan.h"

namespace textlib {
namespace {

constexpr int kStatusBcc = 2;
constexpr int kStatusBccError = 3;

int Mask(const std::uint8_t* body) {
    static constexpr int kMasks[] = {0x1F, 0x3F, 0x7F};
    return body[5] < 3 ? kMasks[body[5]] : 0xFF;
}

// The sync count is 1 or 2 on the analyzer; anything else is read as the
// nearest of those, so a damaged body neither opens frames on every character
// nor compares against bytes that are no sync characters.
int SyncCount(const std::uint8_t* body) { return body[9] >= 2 ? 2 : 1; }
// Zero end-of-frame characters would never close a frame; one is the least.
int EndRun(const std::uint8_t* body) { return body[13] >= 1 ? body[13] : 1; }

std::uint16_t SyncCell(int ch, int dir) {
    return static_cast<std::uint16_t>(ch << 8 | (dir == kFrameRd ? 0x20 : 0x10));
}

class Sync final : public ScanRules {
public:
    int HighestStatus() const override { return 7; }

    void BeginScan(FrameScan& s) override { s.match[kFrameSd] = s.match[kFrameRd] = 0; }

    void Stamp(FrameScan& s, std::uint32_t word, int dir) override {
        if (s.HasOther(dir)) return s.NoteOther(dir);
        if (s.Done() || s.Delivered(dir)) return;
        if (s.Started()) {
            s.stopHere = true;
            return;
        }
        s.frame.timeStamp = StampOf(word);
        s.match[dir] = 0;
        s.Begin(dir);
    }

    void Cell(FrameScan& s, std::uint16_t cell, int dir) override {
        if (s.HasOther(dir)) return s.NoteOther(dir);
        if (s.Done() || s.Delivered(dir)) return;
        if (s.Started()) return InFrame(s, cell, dir);
        Hunt(s, cell, dir);
    }

private:
    static void Hunt(FrameScan& s, std::uint16_t cell, int dir) {
        int status = CellStatus(cell);
        if (status == kStatusBcc || status == kStatusBccError) return;
        const int mask = Mask(s.body);
        int& k = s.match[dir];
        if ((CellChar(cell) & mask) != (s.body[10 + k] & mask)) {
            k = 0;
            return;
        }
        if (++k < SyncCount(s.body)) return;
        // The frame starts with its sync characters as configured, whatever
        // the line carried in the bits outside the character length.
        s.Begin(dir);
        s.frame.count = 0;
        s.Append(SyncCell(s.body[10], dir));
        if (SyncCount(s.body) > 1) s.Append(SyncCell(s.body[11], dir));
        k = 0;
    }

    static void InFrame(FrameScan& s, std::uint16_t cell, int dir) {
        int status = CellStatus(cell);
        if (status == kStatusBcc) {
            s.frame.endStatus = kEndGood;
            return;
        }
        if (status == kStatusBccError) {
            s.frame.endStatus = kEndNg;
            return;
        }
        s.Append(cell);
        const int mask = Mask(s.body);
        int& k = s.match[dir];
        if ((CellChar(cell) & mask) != (s.body[12] & mask)) {
            k = 0;
            return;
        }
        if (++k >= EndRun(s.body)) s.state = ScanState::Done;
    }
};

}  // namespace

ScanRules& SyncRules() {
    static Sync rules;
    return rules;
}

}  // namespace textlib
