// The control-sequence filter: runs one control machine per direction over the
// reader's records and hands the print layout one token per column, SD tokens
// and RD tokens in the order they arose. Time stamps, line states and gap
// markers pass through in their place.
#pragma once
#include <array>
#include <cstdint>
#include <functional>

#include "buffer_reader.h"
#include "control/control_machine.h"

namespace textlib {

class ControlSequenceFilter {
public:
    explicit ControlSequenceFilter(BufferReader& reader) : reader_(reader) {}

    // Empties the ring, picks the family from the data-info body, puts both
    // machines in their first state and seeks the reader. While the ring is
    // empty NextToken reads on only up to `end` (a record index) and, asking
    // every few records, as long as `keepGoing` holds: a long stretch without
    // tokens still ends at the job's range and hears Stop.
    void Reset(std::int64_t startIndex, std::int64_t end = INT64_MAX, std::function<bool()> keepGoing = {});
    // The next word for the print layout: a token or check mark as a data word
    // of one direction, or a record that is not a data word as it came. 0 at
    // the end of the data (or of the range).
    std::uint32_t NextToken();
    // True while tokens of records already read wait in the ring.
    bool HasTokens() const { return read_ != write_; }

    void PushSd(std::uint16_t cell) { Push(cell, false); }
    void PushRd(std::uint16_t cell) { Push(cell, true); }

    ControlFamily Family() const { return family_; }

private:
    struct Entry {
        std::uint16_t cell;
        bool rd;
    };
    static constexpr unsigned kRingSize = 8;  // one data word pushes at most 2 x 2; 4 x 2 leaves room

    void Push(std::uint16_t cell, bool rd);
    void Feed(std::uint32_t word);

    BufferReader& reader_;
    static constexpr unsigned kAskEvery = 64;  // records read between keepGoing calls
    std::int64_t end_ = INT64_MAX;
    std::function<bool()> keepGoing_;
    unsigned sinceAsked_ = 0;
    ControlFamily family_ = ControlFamily::None;
    std::array<Entry, kRingSize> ring_{};
    unsigned write_ = 0, read_ = 0;  // running counts; the slot is count % kRingSize
    ControlMachine sd_{false};
    ControlMachine rd_{true};
};

}  // namespace textlib
