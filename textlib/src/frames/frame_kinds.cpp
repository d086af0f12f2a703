// Frames by kind: the control field, packet header and PPP protocol read as
// the translations read them, named from the translations' own tables.
#include "textlib/frame_kinds.h"

#include <algorithm>

#include "frames/control_field.h"
#include "frames/frame_formatter.h"
#include "frames/frame_names.h"
#include "frames/ppp_names.h"

namespace textlib {
namespace {

constexpr unsigned kDiagnostic = kDiagnosticPacket;
constexpr int kEscape = kPppEscape;
constexpr int kAllStations = kPppAllStations;

FrameNames NamesOf(int variant) {
    switch (variant) {
    case kSdlc: return FrameNames::Sdlc;
    case kX25ua: return FrameNames::X25ua;
    case kLapd: return FrameNames::Lapd;
    default: return FrameNames::X25;
    }
}

// Where the address and control fields of a variant's frame lie.
struct Fields {
    int control = -1;       // index of the control field; -1 none
    int controlLength = 0;  // 1 or 2; 0 when the second byte never came
    int data = 0;           // first byte after the fields
};

Fields FieldsOf(const Frame& f, int variant) {
    Fields r;
    const int n = f.count;
    const int at = variant == kLapd && n >= 2 ? 2 : 1;
    if (at >= n) return r;
    r.control = at;
    const bool extended = (variant == kX25x || variant == kLapd) && KindOf(f.Byte(at)) != FrameKind::Unnumbered;
    r.controlLength = !extended ? 1 : at + 1 < n ? 2 : 0;
    r.data = at + std::max(r.controlLength, 1);
    return r;
}

// The first bytes of a PPP frame with the escaping removed.
struct PppHead {
    int bytes[6] = {};
    int count = 0;
};

PppHead HeadOf(const Frame& f) {
    PppHead h;
    for (int k = 0; k < f.count && h.count < 6; ++k) {
        int b = f.Byte(k);
        if (b == kEscape) {
            if (++k == f.count) break;
            b = f.Byte(k) ^ 0x20;
        }
        h.bytes[h.count++] = b;
    }
    return h;
}

// The protocol field and the index after it.
FrameField ProtocolOf(const PppHead& h, int& next) {
    FrameField p;
    int i = h.count > 0 && h.bytes[0] == kAllStations ? 2 : 0;
    next = i;
    if (i >= h.count) return p;
    p.present = true;
    p.value = static_cast<unsigned>(h.bytes[i++]);
    if ((p.value & 1) == 0) {
        if (i >= h.count) return p;  // the second byte never came: no name
        p.value = p.value << 8 | static_cast<unsigned>(h.bytes[i++]);
    }
    p.bytes = 2;  // a whole protocol counts as 16 bits
    p.name = PppProtocolName(p.value);
    next = i;
    return p;
}

}  // namespace

FrameField HdlcFrameField(const Frame& frame, int variant) {
    FrameField r;
    const Fields f = FieldsOf(frame, variant);
    if (f.control < 0) return r;
    r.present = true;
    const unsigned first = static_cast<unsigned>(frame.Byte(f.control));
    r.value = f.controlLength == 2 ? first | static_cast<unsigned>(frame.Byte(f.control + 1)) << 8 : first;
    r.bytes = f.controlLength == 2 ? 2 : 1;
    if (f.controlLength == 0) return r;
    switch (KindOf(first)) {
    case FrameKind::Info: r.name = kInfoFrameName; break;
    case FrameKind::Supervisory:
        if (f.controlLength == 2 && (first & 0xF0) != 0) break;
        r.name = FrameTypeName(NamesOf(variant), NameKey(first), frame.direction == kFrameRd);
        break;
    case FrameKind::Unnumbered:
        r.name = FrameTypeName(NamesOf(variant), NameKey(first), frame.direction == kFrameRd);
        break;
    }
    return r;
}

FrameField PacketField(const Frame& frame, int variant, int packetKind) {
    FrameField r;
    const Fields f = FieldsOf(frame, variant);
    if (f.control < 0 || f.controlLength == 0 || KindOf(frame.Byte(f.control)) != FrameKind::Info) return r;
    const int n = frame.count - f.data;
    auto at = [&](int k) { return frame.Byte(f.data + k); };
    const bool rd = frame.direction == kFrameRd;
    if (packetKind == kPacketQ931) {
        const int typeAt = n >= 2 ? 2 + (at(1) & 0x0F) : 2;
        if (n <= typeAt) return r;
        r.present = true;
        r.value = static_cast<unsigned>(at(typeAt));
        r.name = Q931MessageName(at(typeAt));
        return r;
    }
    if ((packetKind != kPacketX25 && packetKind != kPacketDdx) || n < 3) return r;
    const PacketNames names = packetKind == kPacketX25 ? PacketNames::X25 : PacketNames::Ddx;
    const unsigned t = static_cast<unsigned>(at(2));
    const bool modulo128 = ((at(0) >> 4) & 0x3) == 0x2;
    r.present = true;
    r.value = t;
    if ((t & 1) == 0) {
        r.name = kDataPacketName;
        return r;
    }
    const bool numbered = (t & 3) == 1 && !(names == PacketNames::X25 && t == kDiagnostic);
    if (!numbered) r.name = PacketTypeName(names, t, rd);
    else if (!(modulo128 && (t & 0xF0) != 0)) r.name = PacketTypeName(names, 0x01 | (t & 0x0C), rd);
    return r;
}

PppFields PppFrameFields(const Frame& frame) {
    const PppHead h = HeadOf(frame);
    int next = 0;
    PppFields r;
    r.protocol = ProtocolOf(h, next);
    if (!r.protocol.present || r.protocol.value < 0x8000 || next >= h.count) return r;
    r.code.present = true;
    r.code.value = static_cast<unsigned>(h.bytes[next]);
    r.code.name = PppCodeName(h.bytes[next]);
    return r;
}

}  // namespace textlib
