// Live capture to pcapng: the frames of a running measurement written as a
// capture stream (a Wireshark extcap fifo, a pipe) as each frame ends, packet
// for packet what `zamvex export` makes of the buffer the measurement keeps.
//
// Errors: a platform::Status (a failed write carries the system's errno).
// Threads: the calling thread (the live reader); LiveRecords is filled on
// another.
#pragma once
#include <cstdio>
#include <string>

#include "pcapng/pcapng_export.h"
#include "platform/status.h"

namespace textlib {
class LiveRecords;
}  // namespace textlib

namespace pcapng {

struct LiveOptions {
    int line = 0;                             // 0 both directions, 1 SD only, 2 RD only
    FrameProtocol frameProtocol = kFrameX25;  // HDLC and NRZI lines
    HdlcLink hdlcLink = kHdlcTagged;          // HDLC and NRZI lines
};

// Waits for the measurement information, writes the section header and the
// interface of the line mode's link type, then one packet per frame until the
// records finish; the stream is flushed whenever the frames have caught up
// with the words received. Times are the time of day on the date the
// information arrived. A failed write also abandons the records.
platform::Status StreamPcapng(textlib::LiveRecords& live, const LiveOptions& options, std::FILE* out,
                              ExportSummary& summary);

}  // namespace pcapng
