// The frame line: parsing of address and control, and the columns every
// variant shares. The variants differ only in how they parse, which names
// they print and, for LAPD, the address columns.
#include "frames/frame_formatter.h"

#include "frames/control_field.h"
#include "frames/packet_formatter.h"

namespace textlib {

FrameFormatter::FrameFormatter(FrameNames names, std::unique_ptr<PacketFormatter> packets)
    : names_(names), packets_(std::move(packets)) {}

FrameFormatter::~FrameFormatter() = default;

const std::string& FrameFormatter::FormatLine(const Frame& frame) {
    frame_ = &frame;
    line_.Clear();
    if (frame.direction == kFrameLost) {
        line_.Put("Lost");
        return line_.Finish();
    }
    Parse();
    line_.Put(DirectionGuide(frame.direction));
    PutTime();
    if (packets_ == nullptr) {
        PutAddress();
        PutControl();
        line_.Spaces(1);
        PutFcs();
    } else if (control_ & 1) {
        packets_->FormatNotInfo(*this);
    } else {
        packets_->FormatInfo(*this);
    }
    PutData();
    return line_.Finish();
}

void FrameFormatter::ParseFields(Address mode, bool extendedControl) {
    addressParsed_ = controlComplete_ = false;
    addressPos_ = addressLength_ = controlLength_ = pos_ = 0;
    control_ = 0;
    const int n = frame_->count;
    if (n == 0) return;
    int i = 1;
    if (mode == Address::TwoByte && n >= 2) i = 2;
    addressParsed_ = true;
    addressLength_ = i;
    if (i < n) {
        control_ = static_cast<unsigned>(frame_->Byte(i++));
        controlLength_ = 1;
        controlComplete_ = true;
        bool twoBytes = extendedControl && KindOf(control_) != FrameKind::Unnumbered;
        if (twoBytes && i < n) {
            control_ |= static_cast<unsigned>(frame_->Byte(i++)) << 8;
            controlLength_ = 2;
        } else if (twoBytes) {
            controlComplete_ = false;  // the second byte never came
        }
    }
    pos_ = i;
}

void FrameFormatter::PutTime() { line_.PutTime(frame_->timeStamp); }

void FrameFormatter::PutAddress() {
    if (!addressParsed_) return line_.Spaces(3);
    line_.Hex2(static_cast<unsigned>(frame_->Byte(addressPos_)));
    line_.Spaces(1);
}

// Fifteen characters: type name, N(S), P/F and N(R) as the frame kind has them.
void FrameFormatter::PutControl() {
    if (controlLength_ == 0) return;
    if (!controlComplete_) return PutHexControl(control_ & 0xFF, 1);
    const ControlField c = DecodeControl(control_, controlLength_);
    if (!PutTypeName()) {
        return PutHexControl(control_, controlLength_);
    }
    switch (c.kind) {
    case FrameKind::Info:
        line_.Dec(c.ns, 4);
        line_.Dec(c.pf, 2);
        return line_.Dec(c.nr, 4);
    case FrameKind::Supervisory:
        line_.Spaces(5);
        line_.Dec(c.pf);
        return line_.Dec(c.nr, 4);
    case FrameKind::Unnumbered:
        line_.Spaces(5);
        line_.Dec(c.pf);
        return line_.Spaces(4);
    }
}

bool FrameFormatter::PutTypeName() {
    const unsigned first = control_ & 0xFF;
    const char* name = nullptr;
    switch (KindOf(first)) {
    case FrameKind::Info: name = kInfoFrameName; break;
    case FrameKind::Supervisory:
        // Modulo 128 keeps bits 4-7 of the first byte zero; anything else is no S frame we know.
        if (controlLength_ == 2 && (first & 0xF0) != 0) return false;
        name = FrameTypeName(names_, NameKey(first), frame_->direction == kFrameRd);
        break;
    case FrameKind::Unnumbered: name = FrameTypeName(names_, NameKey(first), frame_->direction == kFrameRd); break;
    }
    if (name == nullptr) return false;
    line_.Left(name, 5);
    return true;
}

// "(%02X)" or "(%04X)" of a control field without a name, fifteen characters in all.
void FrameFormatter::PutHexControl(unsigned control, int bytes) {
    line_.Put("(");
    if (bytes == 2) line_.Hex4(control);
    else line_.Hex2(control);
    line_.Put(")");
    line_.Spaces(bytes == 2 ? 9 : 11);
}

void FrameFormatter::PutFcs() {
    static constexpr const char* kEnds[] = {"", "G", "E", "B", "A", "SF"};
    int end = frame_->endStatus;
    line_.Right(end >= 0 && end <= kEndShort ? kEnds[end] : "", 2);
    line_.Spaces(2);
}

void FrameFormatter::PutData() {
    line_.PutData(frame_->cells + pos_, frame_->count - pos_, [](std::uint16_t cell) { return cell >> 8; });
}

}  // namespace textlib
