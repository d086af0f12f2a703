// Exports the frames of a PC buffer (a buffer folder or a single data file)
// to a pcapng file that Wireshark and tshark read: one packet per frame, the
// direction and the frame's end in the packet flags, lost data as a comment.
//
// Errors: a platform::Status: one line with the path and the system's reason
// (or what is wrong with the options); a failed export leaves no file behind.
// Threads: the calling thread; the progress callback runs on it.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "pcbuffer/buffer_names.h"
#include "platform/status.h"

namespace pcapng {

// How frames of HDLC and NRZI lines are read, numbered as the conversion's
// TranslateFrame numbers them: SDLC, X.25, X.25 modulo 128, X.25 UA, LAPD.
enum FrameProtocol : int { kFrameSdlc = 0, kFrameX25 = 1, kFrameX25x = 2, kFrameX25ua = 3, kFrameLapd = 4 };

// The link type of HDLC and NRZI lines. Tagged: LAPD (203) for the LAPD frame
// protocol, else WIRESHARK_UPPER_PDU (252) with tags naming Wireshark's LAPB
// decoder, which needs no setting. User0: LAPB on user link type 0 (147),
// which Wireshark decodes as LAPB once a user DLT entry says so. Cisco HDLC
// (104) and Frame Relay (107): whatever the frame protocol, for lines that
// carry those (a replayed capture, say).
enum HdlcLink : int { kHdlcTagged = 0, kHdlcUser0 = 1, kHdlcCisco = 2, kHdlcFrameRelay = 3 };

struct ExportOptions {
    std::string buffer;                        // buffer folder or single data file
    std::string output;                        // the pcapng file, replaced if it exists
    int start = 1;                             // first block, 1 = the oldest (folders only)
    int blocks = pcbuffer::kBlockNumberLimit;  // blocks from `start` on: all
    int line = 0;                              // 0 both directions, 1 SD only, 2 RD only
    FrameProtocol frameProtocol = kFrameX25;   // HDLC and NRZI lines
    HdlcLink hdlcLink = kHdlcTagged;           // HDLC and NRZI lines
    // Local midnight (Unix time) of the measurement day. Unset: the day the
    // folder's "datainfo.mkw" was written; for a single data file, times run
    // from the first time stamp instead.
    std::optional<std::int64_t> midnight;
};

struct ExportSummary {
    std::int64_t frames = 0;  // packets written
    std::int64_t sd = 0, rd = 0, undecided = 0;
    std::int64_t fcsErrors = 0, shortFrames = 0, aborts = 0;  // aborts include breaks
    std::int64_t lostMarks = 0;                               // gap markers met
    std::int64_t cutFrames = 0;  // longer than the 1024 cells a frame keeps: written cut short
    std::uint16_t linkType = 0;
    bool onMeasurementDate = false;  // false: times count from the first stamp
};

// Called as blocks are passed: the block being read and the blocks in range.
using ExportProgress = std::function<void(int done, int total)>;

// Writes the file. A failed export removes its partial file.
platform::Status ExportPcapng(const ExportOptions& options, ExportSummary& summary,
                              const ExportProgress& progress = {});

// Local midnight of a date given as "YYYY-MM-DD", or nothing when it is not a date.
std::optional<std::int64_t> MidnightOf(const std::string& date);

}  // namespace pcapng
