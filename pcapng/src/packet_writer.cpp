// The packet loop of export and live capture.
#include "packet_writer.h"

#include <algorithm>
#include <memory>
#include <string>

#include "textlib/buffer_format.h"

namespace pcapng {
namespace {

using textlib::Frame;

void Count(const Frame& f, ExportSummary& s) {
    ++s.frames;
    if (f.direction == textlib::kFrameSd) ++s.sd;
    else if (f.direction == textlib::kFrameRd) ++s.rd;
    else ++s.undecided;
    if (f.endStatus == textlib::kEndNg) ++s.fcsErrors;
    if (f.endStatus == textlib::kEndShort) ++s.shortFrames;
    if (f.endStatus == textlib::kEndAbort || f.endStatus == textlib::kEndBreak) ++s.aborts;
    if (f.dropped > 0) ++s.cutFrames;
}

std::string LostComment(std::int64_t marks) {
    if (marks == 1) return "Data lost before this frame";
    return "Data lost before this frame (" + std::to_string(marks) + " times)";
}

}  // namespace

bool WriteHeader(const Link& link, const char* application, const BlockWriter& write) {
    return write(SectionHeaderBlock(application)) && write(InterfaceBlock(link.type, link.name, link.description));
}

bool WritePackets(textlib::FrameReader& reader, const Range& range, const Link& link, CaptureClock& clock,
                  const BlockWriter& write, ExportSummary& s, const ExportProgress& progress) {
    auto frame = std::make_unique<Frame>();
    Bytes data, block;  // reused from packet to packet
    std::int64_t pendingLost = 0;
    int lastBlock = -1;
    reader.Seek(range.begin);
    while (reader.Pos() < range.end && reader.Next(*frame, range.end)) {
        if (frame->direction == textlib::kFrameLost) {
            ++pendingLost;
            ++s.lostMarks;
            continue;
        }
        PacketData(link.type, *frame, data);
        Packet p;
        p.timeUs = clock.TimeUs(frame->timeStamp);
        p.data = data;
        // A frame longer than the delimiter keeps: Wireshark shows it as cut
        // short. On a PPP line the dropped cells still hold their escapes.
        if (frame->dropped > 0) p.originalLength = static_cast<std::uint32_t>(data.size() + frame->dropped);
        p.flags = PacketFlags(*frame);  // also when it is 0: a frame the analyzer recorded without a direction
        if (pendingLost > 0) p.comment = LostComment(pendingLost);
        pendingLost = 0;
        EnhancedPacketBlock(p, block);
        if (!write(block)) return false;
        Count(*frame, s);
        int block = reader.IsSingleFile() ? 0 : static_cast<int>(reader.Pos() / textlib::kBlockWords);
        if (progress && block != lastBlock) {
            lastBlock = block;
            progress(std::min(block - (range.firstBlock - 1) + 1, range.blocks), range.blocks);
        }
    }
    return true;
}

}  // namespace pcapng
