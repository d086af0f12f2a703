// The protocol engine behind the real link threads, over a pty whose far end
// this test plays by hand: the packet-mode handshake, a key, a get and the
// session end, and a text-mode connection, all as bytes on the line.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <vector>

#include "link/framing.h"
#include "remote/remote_impl.h"
#include "testing/notification_log.h"
#include "testing/pty_pair.h"

namespace commlib {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

testing_util::NotificationLog notes;

int Record(int code, int status, void*) {
    notes.record(code, status);
    return 1;
}

// Waits until the notification arrives; false after a generous limit.
bool AwaitNote(int code, int status) { return notes.came(code, status, 10s); }

Bytes Text(const char* s) { return Bytes(s, s + std::strlen(s)); }

class ProtocolOverPty : public ::testing::Test {
protected:
    void SetUp() override {
        notes.clear();
        const PortSettings port{pty.slave_path().c_str(), 115200, 0, 0};
        ASSERT_EQ(remote.Initialize(nullptr, Record, &port, nullptr), 0);
        ASSERT_EQ(remote.Open(), 0);
    }
    void TearDown() override { remote.Close(); }

    // Reads exactly what the engine is expected to put on the line.
    void ExpectLine(const Bytes& expected) { EXPECT_EQ(pty.read(expected.size(), 5s), expected); }
    void ExpectPacket(const Bytes& packet) { ExpectLine(SynFrame(packet)); }
    void SendPacket(const Bytes& packet) { pty.write(SynFrame(packet)); }

    testing_util::PtyPair pty;
    RemoteImpl remote;
};

TEST_F(ProtocolOverPty, PacketModeSessionThroughTheThreads) {
    ASSERT_EQ(remote.Request(ReqConnect, 0, 0), 1);
    ExpectLine(Text("###"));
    pty.write("*");
    ExpectLine(Text("%@X\r\n"));
    pty.write("*");
    ExpectLine({0x16, 0x30, 0x00, 0xE5, 0xB9, 0x16, 0x16, 0x40, 0x00, 0x02, 0x34,
                0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x01, 0x02, 0x56, 0xCE, 0x16});
    SendPacket({'A', 0, 2, '4', 0x01, 0x00, 1, 4, 0x02, 0x00, 7, 'R', 'V', '-', '7', '0', '1', '0'});
    ExpectPacket({'@',  1, 3,    '3',  0x01, 0x02, 1,    0x01, 0x0B, 1,    0x20, 0x0C, 1,    0x00, 0x80, 0,    0x00,
                  0xE0, 0, 0x00, 0xE8, 0,    0x00, 0xE9, 0,    0x00, 0xEA, 0,    0x00, 0xEB, 0,    0x00, 0xEC, 0});
    SendPacket({'A', 1, 3, '3'});
    ASSERT_TRUE(AwaitNote(ReqConnect, StatusDone));
    EXPECT_EQ(remote.GetLinkMode(), 2);
    char name[16];
    EXPECT_STREQ(remote.GetModelName(name, sizeof name), "RV-7010");

    ASSERT_EQ(remote.Request(ReqKey, 0x21, 0), 1);
    ExpectPacket({'2', 0, 0x20, 0x0C, 0x21});
    ASSERT_TRUE(AwaitNote(ReqKey, StatusDone));

    // A program get in two pieces.
    ASSERT_EQ(remote.Request(ReqGetProgram, 0, 0), 1);
    ExpectPacket({'@', 2, 6, '6', 0x00, 0x70});
    SendPacket({'A', 2, 6, '6', 0x00, 0x70});
    // Pieces of 1008 bytes as the analyzer sends them; the first all SYN bytes, each stuffed on the line.
    std::uint8_t seq = 3;
    for (int offset = 0; offset < 8192; offset += 1008) {
        const int n = std::min(1008, 8192 - offset);
        const std::uint8_t flags = offset + n == 8192 ? 1 : 0;
        Bytes piece{
            'D', seq++, 6, flags, 0x00, 0x70, static_cast<std::uint8_t>(offset), static_cast<std::uint8_t>(offset >> 8),
            0,   0};
        piece.resize(10 + static_cast<std::size_t>(n), offset == 0 ? 0x16 : 0x42);
        SendPacket(piece);
    }
    ExpectPacket({'E', 3, 6, 1, 0x00, 0x70});
    ASSERT_TRUE(AwaitNote(ReqGetProgram, StatusDone));
    const auto* program = static_cast<const std::uint8_t*>(remote.GetProgramData());
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(program[1007], 0x16);
    EXPECT_EQ(program[1008], 0x42);
    EXPECT_EQ(program[8191], 0x42);

    ASSERT_EQ(remote.Request(ReqDisconnect, 0, 0), 1);
    ExpectPacket({'@', 4, 0, '0'});
    SendPacket({'A', seq, 0, '0'});
    ASSERT_TRUE(AwaitNote(ReqDisconnect, StatusDone));
    EXPECT_EQ(remote.GetLinkMode(), 0);
}

TEST_F(ProtocolOverPty, TextModeConnectionAndKey) {
    ASSERT_EQ(remote.Request(ReqConnect, 0, 0), 1);
    ExpectLine(Text("###"));
    pty.write("*");
    for (int i = 0; i < 3; ++i) {
        ExpectLine(Text("%@X\r\n"));
        pty.write("?");
    }
    ExpectLine(Text("%T0\r\n"));
    pty.write("*RV-7030 1.5\r");
    ExpectLine(Text("*"));
    ASSERT_TRUE(AwaitNote(ReqConnect, StatusDone));
    EXPECT_EQ(remote.GetLinkMode(), 1);
    EXPECT_EQ(remote.GetVersion(), 0x105 << 12);
    ASSERT_EQ(remote.Request(ReqKey, 0x1A5, 0), 1);
    ExpectLine(Text("%K01A5\r\n"));
    pty.write("*");
    ASSERT_TRUE(AwaitNote(ReqKey, StatusDone));
}

}  // namespace
}  // namespace commlib
