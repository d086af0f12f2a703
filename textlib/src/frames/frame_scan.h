// The state of one frame scan and the per-mode rules that decide where a
// frame begins and ends. Private to the frame delimiter.
#pragma once
#include <cstdint>

#include "frames/frame.h"

namespace textlib {

enum class ScanState { NotStarted, Started, Done };

struct FrameScan {
    BufferReader& reader;
    Frame& frame;
    const std::uint8_t* body;
    std::int64_t i = 0;            // index of the word being looked at
    std::int64_t otherStart = -1;  // where the other direction's data began; -1 none
    ScanState state = ScanState::NotStarted;
    bool stopHere = false;     // end the scan without consuming word i
    int match[3] = {0, 0, 0};  // SYNC: per-direction count of matched characters

    bool Started() const { return state != ScanState::NotStarted; }
    bool Done() const { return state == ScanState::Done; }
    std::int64_t Resume(int dir) const { return dir == kFrameSd ? reader.SdResume() : reader.RdResume(); }
    // The frame already belongs to the other direction than `dir`.
    bool HasOther(int dir) const { return frame.direction != kFrameUndecided && frame.direction != dir; }
    // Remembers where the next scan starts, unless that data went out already.
    void NoteOther(int dir) {
        if (otherStart < 0 && i >= Resume(dir)) otherStart = i;
    }
    // Before the frame starts, data of a direction before its resume index
    // belong to a frame that was delivered already.
    bool Delivered(int dir) const { return !Started() && i < Resume(dir); }
    void Begin(int dir) {
        if (dir != kFrameUndecided) frame.direction = static_cast<std::int8_t>(dir);
        state = ScanState::Started;
    }
    void End(int status) {
        frame.endStatus = static_cast<std::int8_t>(status);
        state = ScanState::Done;
    }
    // Cells past the limit are dropped (and counted); the scan still looks for the end.
    void Append(std::uint16_t cell) {
        if (frame.count < kMaxFrameCells) frame.cells[frame.count++] = cell;
        else ++frame.dropped;
    }
};

// What a measurement mode does with each kind of record. `dir` is kFrameSd or
// kFrameRd; Cell is called for the SD half of a data word, then the RD half,
// also once the frame is done (the rules only note the other start then).
class ScanRules {
public:
    virtual ~ScanRules() = default;
    virtual int HighestStatus() const = 0;  // cells with a higher status take no part
    virtual void Stamp(FrameScan& s, std::uint32_t word, int dir) = 0;
    virtual void Idle(FrameScan&, std::uint32_t) {}
    virtual void Cell(FrameScan& s, std::uint16_t cell, int dir) = 0;
    virtual void BeginScan(FrameScan&) {}
};

ScanRules& AsyncRules();
ScanRules& SyncRules();
ScanRules& HdlcRules();  // HDLC and NRZI
ScanRules& PppRules();

// The stamp as the frame keeps it: the direction bit cleared.
constexpr std::uint32_t StampOf(std::uint32_t word) { return word & ~0x8000u; }

}  // namespace textlib
