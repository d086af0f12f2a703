// The five frame variants and the factory that picks one: SDLC, X25 and X25UA
// with one-byte control fields, X25X with modulo-128 control fields, and LAPD
// with its two-byte address of SAPI, TEI and C/R.
#include "frames/frame_formatter.h"
#include "frames/packet_formatter.h"

namespace textlib {
namespace {

class OneByteAddressFormatter final : public FrameFormatter {
public:
    OneByteAddressFormatter(FrameNames names, bool modulo128, std::unique_ptr<PacketFormatter> packets)
        : FrameFormatter(names, std::move(packets)), modulo128_(modulo128) {}

protected:
    void Parse() override { ParseFields(Address::OneByte, modulo128_); }

private:
    bool modulo128_;
};

class LapdFormatter final : public FrameFormatter {
public:
    explicit LapdFormatter(std::unique_ptr<PacketFormatter> packets)
        : FrameFormatter(FrameNames::Lapd, std::move(packets)) {}

protected:
    void Parse() override { ParseFields(Address::TwoByte, true); }

    // Nine characters: SAPI, TEI (when the second byte came) and C/R.
    void PutAddress() override {
        if (!addressParsed_) return line_.Spaces(9);
        const int first = frame_->Byte(addressPos_);
        line_.Dec(first >> 2, 2);
        line_.Spaces(1);
        if (addressLength_ > 1) line_.Dec((frame_->Byte(addressPos_ + 1) >> 1) & 0x7F, 3);
        else line_.Spaces(3);
        line_.Spaces(1);
        line_.Dec((first >> 1) & 1);
        line_.Spaces(1);
    }
};

}  // namespace

std::unique_ptr<FrameFormatter> CreateFrameFormatter(int variant, int packetKind) {
    std::unique_ptr<PacketFormatter> packets;
    if (packetKind != kPacketOff) {
        packets = CreatePacketFormatter(packetKind);
        if (packets == nullptr) return nullptr;
    }
    switch (variant) {
    case kSdlc: return std::make_unique<OneByteAddressFormatter>(FrameNames::Sdlc, false, std::move(packets));
    case kX25: return std::make_unique<OneByteAddressFormatter>(FrameNames::X25, false, std::move(packets));
    case kX25x: return std::make_unique<OneByteAddressFormatter>(FrameNames::X25, true, std::move(packets));
    case kX25ua: return std::make_unique<OneByteAddressFormatter>(FrameNames::X25ua, false, std::move(packets));
    case kLapd: return std::make_unique<LapdFormatter>(std::move(packets));
    default: return nullptr;
    }
}

}  // namespace textlib
