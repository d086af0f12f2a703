// The analyzer's framing is its own; here it must put on the wire exactly the
// bytes the PC library's framing puts there, for packets that need every kind
// of stuffing, and its check must be CRC-16/X-25.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "line/receiver.h"
#include "line/wire.h"
#include "link/crc16.h"
#include "link/framing.h"

namespace simulator {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<Bytes> packets() {
    std::vector<Bytes> packets{{}, {0x00}, {0x16, 0x10, 0x11, 0x13}, {0x41, 0x00, 0x02, 0x34, 0x10, 0x16}};
    std::mt19937 random(7);
    for (int n = 1; n < 300; n += 7) {
        Bytes p(static_cast<std::size_t>(n));
        for (auto& b : p) b = static_cast<std::uint8_t>(random() % 24 == 0 ? 0x16 : random());
        packets.push_back(p);
    }
    return packets;
}

TEST(Wire, CheckIsCrc16X25) {
    const Bytes check{'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(crc16_x25(check), 0x906E);  // the published check value of CRC-16/X-25
    for (const Bytes& p : packets())
        EXPECT_EQ(crc16_x25(p), static_cast<std::uint16_t>(~commlib::Crc16x25(commlib::Crc16Preset, p)));
}

TEST(Wire, SynFramesAndBinaryBlocksMatchThePcSideByteForByte) {
    for (const Bytes& p : packets()) {
        EXPECT_EQ(frame_packet(p), commlib::SynFrame(p)) << p.size() << " bytes";
        Bytes pc(p.size() + 4);
        pc.resize(commlib::FrameBinaryBlock(p, pc));
        EXPECT_EQ(binary_block(p), pc) << p.size() << " bytes";
        for (int v = 0; v <= 0xFF; ++v) {
            const auto b = static_cast<std::uint8_t>(v);
            ASSERT_EQ(needs_stuffing(b), commlib::NeedsStuffing(b)) << v;
        }
    }
}

TEST(Wire, APcFrameUnframesToItsPacketAndACorruptOneDoesNot) {
    for (const Bytes& p : packets()) {
        if (p.size() < 2) continue;  // shorter packets are no packets
        Bytes frame = commlib::SynFrame(p);
        Bytes inner(frame.begin() + 1, frame.end() - 1);  // between the SYNs
        Bytes packet;
        ASSERT_TRUE(unframe(inner, packet)) << p.size();
        EXPECT_EQ(packet, p);
        Bytes bad = frame_packet(p, true);
        EXPECT_FALSE(unframe(Bytes(bad.begin() + 1, bad.end() - 1), packet)) << p.size();
    }
}

}  // namespace
}  // namespace simulator
