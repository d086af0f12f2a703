// The packet level inside information frames: X.25 and DDX packet headers
// (one layout, two name tables) and Q.931 messages over LAPD. A packet
// formatter writes its columns into the frame formatter's line.
#pragma once
#include <memory>

#include "frames/frame_formatter.h"

namespace textlib {

class PacketFormatter {
public:
    virtual ~PacketFormatter() = default;
    // The columns of an information frame, starting after the time.
    virtual void FormatInfo(FrameFormatter& frame) = 0;
    // The columns of any other frame.
    virtual void FormatNotInfo(FrameFormatter& frame) = 0;
};

// X25 or DDX layout (kPacketX25, kPacketDdx) or Q931 (kPacketQ931); null otherwise.
std::unique_ptr<PacketFormatter> CreatePacketFormatter(int packetKind);
std::unique_ptr<PacketFormatter> CreateQ931Packets();

}  // namespace textlib
