// PPP frames to lines: escaping removed, address and control skipped (or
// found compressed away), protocol, code and identifier decoded, the rest in
// hexadecimal up to the line width.
#include "frames/ppp_formatter.h"

#include "frames/ppp_names.h"

namespace textlib {
namespace {

constexpr std::uint8_t kEscape = kPppEscape;
constexpr std::uint8_t kAllStations = kPppAllStations;

}  // namespace

const std::string& PppFormatter::FormatLine(const Frame& frame) {
    frame_ = &frame;
    line_.Clear();
    if (frame.direction == kFrameLost) {
        line_.Put("Lost");
        return line_.Finish();
    }
    Parse();
    line_.Put(DirectionGuide(frame.direction));
    PutTime();
    PutProtocol();
    PutCode();
    PutId();
    PutData();
    return line_.Finish();
}

// 0x7D escapes the next byte (sent XOR 0x20); an escape in the last cell has
// nothing left to escape and ends the bytes.
void PppFormatter::Unescape() {
    count_ = 0;
    const int n = frame_->count;
    for (int k = 0; k < n && count_ < kMaxFrameCells; ++k) {
        std::uint8_t b = static_cast<std::uint8_t>(frame_->Byte(k));
        if (b == kEscape) {
            if (++k == n) break;
            b = static_cast<std::uint8_t>(frame_->Byte(k) ^ 0x20);
        }
        bytes_[static_cast<std::size_t>(count_++)] = b;
    }
}

void PppFormatter::Parse() {
    hasProtocol_ = protocolComplete_ = hasCode_ = hasId_ = false;
    protocol_ = 0;
    code_ = id_ = pos_ = 0;
    Unescape();
    if (count_ == 0) return;
    // Address 0xFF and the control byte after it, unless both were compressed away.
    int i = bytes_[0] == kAllStations ? 2 : 0;
    if (i < count_) {
        protocol_ = bytes_[static_cast<std::size_t>(i++)];
        hasProtocol_ = protocolComplete_ = true;
        if ((protocol_ & 1) == 0) {  // the first byte of a two-byte protocol
            if (i < count_) protocol_ = protocol_ << 8 | bytes_[static_cast<std::size_t>(i++)];
            else protocolComplete_ = false;
        }
    }
    if (i < count_) code_ = bytes_[static_cast<std::size_t>(i++)], hasCode_ = true;
    if (i < count_) id_ = bytes_[static_cast<std::size_t>(i++)], hasId_ = true;
    pos_ = i < count_ ? i : count_;
}

void PppFormatter::PutTime() { line_.PutTime(frame_->timeStamp); }

void PppFormatter::PutProtocol() {
    if (!hasProtocol_) return line_.Spaces(9);
    if (!protocolComplete_) return line_.Format("(%02X)     ", protocol_);
    const char* name = PppProtocolName(protocol_);
    if (name != nullptr) return line_.Left(name, 9);
    line_.Put("(");
    line_.Hex4(protocol_);
    line_.Put(")   ");
}

void PppFormatter::PutCode() {
    if (!hasCode_) return line_.Spaces(9);
    const char* name = PppCodeName(code_);
    if (name != nullptr) return line_.Left(name, 9);
    line_.Put("(");
    line_.Hex2(static_cast<unsigned>(code_));
    line_.Put(")     ");
}

void PppFormatter::PutId() {
    if (hasId_) line_.Dec(id_, 3);
    else line_.Spaces(3);
    line_.Spaces(1);
}

void PppFormatter::PutData() {
    line_.PutData(bytes_.data() + pos_, count_ - pos_, [](std::uint8_t b) { return b; });
}

std::unique_ptr<PppFormatter> CreatePppFormatter() { return std::make_unique<PppFormatter>(); }

}  // namespace textlib
