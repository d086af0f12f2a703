// X.25 and DDX packet headers in information frames: group and channel
// number, packet type with P(S), P(R) and M, and the Q and D bits of the
// general format identifier. Both networks share the layout; only the names
// of the packet types differ.
#include <cstdint>

#include "frames/frame_names.h"
#include "frames/packet_formatter.h"

namespace textlib {
namespace {

constexpr unsigned kDiagnostic = kDiagnosticPacket;

struct Header {
    int bytes = 0;  // header bytes present: GFI/LCGN, LCN, type, fourth
    int gfi = 0, lcgn = 0, lcn = 0;
    unsigned type = 0;  // first type byte, or both bytes of a modulo-128 RR/RNR/REJ
    bool twoByteType = false;
    bool modulo128 = false;
    int ps = -1, pr = -1, m = -1;  // -1: not in the packet
};

Header ParseHeader(const FrameFormatter& f) {
    Header h;
    const int n = f.DataCount();
    auto at = [&](int k) { return f.CurrentFrame().Byte(f.DataPos() + k); };
    h.bytes = n < 3 ? n : 3;
    if (n >= 1) h.gfi = at(0) >> 4, h.lcgn = at(0) & 0x0F;
    if (n >= 2) h.lcn = at(1);
    if (n < 3) return h;
    const unsigned t = static_cast<unsigned>(at(2));
    h.type = t;
    h.modulo128 = (h.gfi & 0x3) == 0x2;
    const bool fourth = h.modulo128 && n >= 4;
    if ((t & 1) == 0) {  // data packet
        h.ps = h.modulo128 ? static_cast<int>(t >> 1) : static_cast<int>(t >> 1) & 7;
        if (!h.modulo128) h.m = (t >> 4) & 1, h.pr = static_cast<int>(t >> 5);
        if (fourth) h.pr = at(3) >> 1, h.m = at(3) & 1, h.bytes = 4;
    } else if ((t & 3) == 1) {  // RR, RNR, REJ
        if (!h.modulo128) h.pr = static_cast<int>(t >> 5);
        if (fourth) h.pr = at(3) >> 1, h.type |= static_cast<unsigned>(at(3)) << 8, h.twoByteType = true, h.bytes = 4;
    }
    return h;
}

class X25Packets final : public PacketFormatter {
public:
    explicit X25Packets(PacketNames names) : names_(names) {}

    void FormatInfo(FrameFormatter& f) override {
        const Header h = ParseHeader(f);
        f.Take(h.bytes);
        LineBuilder& line = f.Line();
        if (h.bytes >= 1) line.Dec(h.lcgn, 2);
        else line.Spaces(2);
        line.Spaces(1);
        if (h.bytes >= 2) line.Dec(h.lcn, 3);
        else line.Spaces(3);
        line.Spaces(1);
        PutType(line, h, f.CurrentFrame().direction == kFrameRd);
        line.Spaces(1);
        if (h.bytes >= 1) {
            line.Dec((h.gfi >> 3) & 1);
            line.Spaces(1);
            line.Dec((h.gfi >> 2) & 1);
            line.Spaces(1);
        } else {
            line.Spaces(4);
        }
    }

    void FormatNotInfo(FrameFormatter& f) override { f.Line().Put("       (Not INFO)          "); }

private:
    static void PutNumber(LineBuilder& line, int value) {
        if (value >= 0) line.Dec(value, 3);
        else line.Spaces(3);
        line.Spaces(1);
    }

    // Fifteen characters: the type by name with its sequence numbers, or in hex.
    void PutType(LineBuilder& line, const Header& h, bool rd) const {
        if (h.bytes < 3) return line.Spaces(15);
        const unsigned first = h.type & 0xFF;
        if ((first & 1) == 0) {
            line.Left(kDataPacketName, 6);
            PutNumber(line, h.ps);
            PutNumber(line, h.pr);
            // A modulo-128 packet cut before its fourth byte has no M; the
            // blank keeps the Q and D columns in place.
            if (h.m >= 0) line.Dec(h.m);
            else line.Spaces(1);
            return;
        }
        const bool numbered = (first & 3) == 1 && !(names_ == PacketNames::X25 && first == kDiagnostic);
        const char* name = nullptr;
        if (!numbered) name = PacketTypeName(names_, first, rd);
        else if (!(h.modulo128 && (first & 0xF0) != 0)) name = PacketTypeName(names_, 0x01 | (first & 0x0C), rd);
        if (name == nullptr) {
            if (h.twoByteType) return line.Format("(%04X)         ", h.type);
            return line.Format("(%02X)           ", first);
        }
        line.Left(name, 5);
        if (!numbered) return line.Spaces(10);
        line.Spaces(5);
        PutNumber(line, h.pr);
        line.Spaces(1);
    }

    PacketNames names_;
};

}  // namespace

std::unique_ptr<PacketFormatter> CreatePacketFormatter(int packetKind) {
    switch (packetKind) {
    case kPacketX25: return std::make_unique<X25Packets>(PacketNames::X25);
    case kPacketDdx: return std::make_unique<X25Packets>(PacketNames::Ddx);
    case kPacketQ931: return CreateQ931Packets();
    default: return nullptr;
    }
}

}  // namespace textlib
