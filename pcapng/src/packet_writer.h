// The packets of a range of records: one enhanced packet block per frame the
// delimiter cuts, with lost data as a comment on the next packet. Shared by
// the export of a finished buffer and the live capture.
#pragma once
#include <cstdint>
#include <functional>

#include "capture_clock.h"
#include "frame_packets.h"
#include "pcapng/pcapng_export.h"
#include "textlib/frame_reader.h"

namespace pcapng {

// Writes the bytes of one block; false when they could not be written.
using BlockWriter = std::function<bool(const Bytes&)>;

struct Range {
    std::int64_t begin, end;  // record indexes
    int firstBlock, blocks;   // for progress reports
};

// The section header and the interface of `link`.
bool WriteHeader(const Link& link, const char* application, const BlockWriter& write);

// Writes the packets of the range from the reader's records; false when a
// block could not be written.
bool WritePackets(textlib::FrameReader& reader, const Range& range, const Link& link, CaptureClock& clock,
                  const BlockWriter& write, ExportSummary& s, const ExportProgress& progress);

}  // namespace pcapng
