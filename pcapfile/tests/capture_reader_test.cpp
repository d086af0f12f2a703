// Capture files written by hand, read back: the packets each format holds,
// and the error text of each way a file can be broken.
#include "pcapfile/capture_reader.h"

#include <gtest/gtest.h>

#include "capture_builder.h"
#include "pcapfile/upper_pdu.h"
#include "testing/temp_dir.h"

using namespace pcapfile_test;
using pcapfile::Packet;

namespace {

struct Seen {
    std::uint64_t offset;
    std::uint32_t section, interface, linkType;
    std::optional<std::int64_t> timeNs;
    std::uint32_t originalLength;
    Bytes data;
    std::optional<std::uint32_t> flags;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Seen& s) {
    os << "{at " << s.offset << " section " << s.section << " if " << s.interface << " link " << s.linkType << " t "
       << (s.timeNs ? std::to_string(*s.timeNs) : "-") << " orig " << s.originalLength << " data";
    for (auto b : s.data) os << ' ' << int{b};
    return os << " flags " << (s.flags ? std::to_string(*s.flags) : "-") << "}";
}

// Every packet of `file`, and the reader's error text at the end.
std::pair<std::vector<Seen>, std::string> ReadAll(const Bytes& file) {
    pcapfile::CaptureReader reader(pcapfile::MemorySource(file), "t.pcap");
    std::vector<Seen> seen;
    Packet p;
    while (reader.Next(p))
        seen.push_back({p.offset, p.section, p.interface, p.linkType, p.timeNs, p.originalLength,
                        Bytes(p.data.begin(), p.data.end()), p.flags});
    EXPECT_FALSE(reader.Next(p)) << "a reader that ended stays at its end";
    return {seen, reader.Error()};
}

const Bytes kFrame{0x01, 0x3F}, kLonger{0x03, 0x00, 0x10, 0x01, 0x0B};

}  // namespace

TEST(CaptureReader, ClassicPcapInBothByteOrdersAndWithNanoseconds) {
    const std::vector<Record> records{{1000, 250, kFrame, 0}, {1001, 5, kLonger, 60}};
    for (bool big : {false, true}) {
        const auto [seen, error] = ReadAll(PcapFile(big, false, 203, records));
        EXPECT_EQ(error, "");
        EXPECT_EQ(seen, (std::vector<Seen>{{24, 0, 0, 203, 1000'000'250'000, 2, kFrame, {}},
                                           {42, 0, 0, 203, 1001'000'005'000, 60, kLonger, {}}}))
            << (big ? "big endian" : "little endian");
    }
    const auto [seen, error] = ReadAll(PcapFile(false, true, 9, {{7, 123456789, kFrame, 0}}));
    EXPECT_EQ(error, "");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].timeNs, 7'123'456'789);
    EXPECT_EQ(seen[0].linkType, 9u);
}

TEST(CaptureReader, PcapngSectionsInterfacesBlocksAndFlags) {
    // Section 0, little endian: LAPD in microseconds and PPP in nanoseconds,
    // a block of another kind between the packets, a simple packet block on
    // the first interface (snapped at 3 bytes). Section 1, big endian: its own
    // interface 0, an obsolete packet block with its flags word.
    const Bytes file = SectionHeader(false) + Interface(false, 203, 3) + Interface(false, 204, 0, 9) +
                       PacketBlock(false, 1, 5'000'000'001, kFrame, pcapfile::kFlagInbound) +
                       Block(false, 5, {0, 0, 0, 0}) +
                       PacketBlock(false, 0, 2'000'000, kLonger, pcapfile::kFlagOutbound | pcapfile::kFlagCrcError) +
                       SimplePacket(false, {1, 2, 3}, 9) + SectionHeader(true) + Interface(true, 252) +
                       PacketBlock(true, 0, 1'000'000, kFrame, 1, 0, pcapfile::kObsoletePacket);
    const auto [seen, error] = ReadAll(file);
    EXPECT_EQ(error, "");
    EXPECT_EQ(seen, (std::vector<Seen>{
                        {80, 0, 1, 204, 5'000'000'001, 2, kFrame, pcapfile::kFlagInbound},
                        {144, 0, 0, 203, 2'000'000'000, 5, kLonger, 0x01000002},
                        {196, 0, 0, 203, std::nullopt, 9, {1, 2, 3}, std::nullopt},
                        {264, 1, 0, 252, 1'000'000'000, 2, kFrame, 1},
                    }));
}

TEST(CaptureReader, EveryBrokenFileIsNamedWithItsOffset) {
    const Bytes start = SectionHeader(false) + Interface(false, 203);  // 48 bytes
    const Bytes packet = PacketBlock(false, 0, 0, kLonger);            // 40 bytes
    Bytes lying = start + packet;
    lying[48 + 4] = 44;  // the leading length says 44, the trailing one 40
    Bytes odd = start + packet;
    odd[48 + 4] = 42;
    Bytes huge = start + packet;
    huge[48 + 7] = 0x10;
    Bytes unfit = start + packet;
    unfit[48 + 20] = 200;  // captured length
    Bytes option = start + PacketBlock(false, 0, 0, kLonger, 2);
    option[48 + 36 + 2] = 40;  // the flags option claims 40 bytes
    Bytes version = SectionHeader(false);
    version[12] = 2;
    const Bytes cutRecord = PcapFile(false, false, 203, {{0, 0, kLonger, 0}});
    struct Case {
        Bytes file;
        std::string error;
    };
    const Case cases[] = {
        {{}, "t.pcap: at byte 0: the file is empty"},
        {{'G', 'E', 'T', ' ', '/'}, "t.pcap: at byte 0: not a pcap or pcapng file (it begins 47 45 54 20)"},
        {{0xD4, 0xC3}, "t.pcap: at byte 0: the file is too short to be a capture file (2 bytes)"},
        {Bytes(start.begin(), start.end() - 3),
         "t.pcap: at byte 28: the file ends inside the interface description block that begins here: it needs 20 "
         "bytes, 17 are there"},
        {start + Bytes(packet.begin(), packet.begin() + 30),
         "t.pcap: at byte 48: the file ends inside the enhanced packet block that begins here: it needs 40 bytes, 30 "
         "are there"},
        {start + Bytes{6, 0, 0},
         "t.pcap: at byte 48: the file ends inside the block that begins here: it needs 8 bytes, 3 are there"},
        {lying + packet,
         "t.pcap: at byte 88: the enhanced packet block that begins at byte 48 ends with the length 6, not 44"},
        {odd, "t.pcap: at byte 52: the enhanced packet block gives its length as 42 bytes, not a multiple of 4"},
        {huge,
         "t.pcap: at byte 52: the enhanced packet block gives its length as 268435496 bytes, more than this reader "
         "takes (4 MiB)"},
        {unfit, "t.pcap: at byte 68: the packet's 200 captured bytes do not fit in its block of 40 bytes"},
        {option, "t.pcap: at byte 84: option 2 of 40 bytes runs past its block"},
        {start + PacketBlock(false, 1, 0, kFrame),
         "t.pcap: at byte 48: the packet names interface 1, but its section describes 1"},
        {version, "t.pcap: at byte 12: pcapng version 2.0 is not read (only 1.x)"},
        {Bytes(cutRecord.begin(), cutRecord.end() - 2),
         "t.pcap: at byte 24: the file ends inside the record that begins here: it needs 21 bytes, 19 are there"},
    };
    for (const Case& c : cases) {
        const auto [seen, error] = ReadAll(c.file);
        EXPECT_EQ(error, c.error);
    }
    // Packets before the fault are still delivered: the caller decides what a partial file is worth.
    EXPECT_EQ(ReadAll(lying + packet).first.size(), 0u);
    EXPECT_EQ(ReadAll(start + packet + Bytes{6}).first.size(), 1u);
}

TEST(CaptureReader, FilesOnDisk) {
    testing_util::TempDir dir;
    std::string error;
    EXPECT_EQ(pcapfile::OpenCaptureFile(dir.file("none.pcap"), error), nullptr);
    EXPECT_EQ(error, dir.file("none.pcap") + ": No such file or directory");
    const Bytes file = PcapFile(false, false, 104, {{1, 0, kLonger, 0}});
    testing_util::write_file(dir.file("a.pcap"), file);
    auto reader = pcapfile::OpenCaptureFile(dir.file("a.pcap"), error);
    ASSERT_NE(reader, nullptr);
    Packet p;
    ASSERT_TRUE(reader->Next(p));
    EXPECT_EQ(Bytes(p.data.begin(), p.data.end()), kLonger);
    EXPECT_FALSE(reader->Next(p));
    EXPECT_EQ(reader->Error(), "");
    auto folder = pcapfile::OpenCaptureFile(dir.path(), error);
    ASSERT_NE(folder, nullptr);
    EXPECT_FALSE(folder->Next(p));
    EXPECT_EQ(folder->Error(), dir.path() + ": at byte 0: cannot read: Is a directory");
}

TEST(UpperPdu, TagsNameTheProtocol) {
    const Bytes header = pcapfile::UpperPduHeader("lapb");
    EXPECT_EQ(header, (Bytes{0, 12, 0, 4, 'l', 'a', 'p', 'b', 0, 0, 0, 0}));
    const Bytes packet = pcapfile::UpperPduHeader("sip") + kFrame;
    const auto pdu = pcapfile::ParseUpperPdu(packet);
    ASSERT_TRUE(pdu);
    EXPECT_EQ(pdu->protocol, "sip");
    EXPECT_EQ(Bytes(pdu->payload.begin(), pdu->payload.end()), kFrame);
    EXPECT_FALSE(pcapfile::ParseUpperPdu(Bytes{0, 12, 0, 9, 'l', 'a'}));            // runs past the packet
    EXPECT_FALSE(pcapfile::ParseUpperPdu(Bytes{0, 0, 0, 0, 1, 2}));                 // no protocol named
    EXPECT_FALSE(pcapfile::ParseUpperPdu(Bytes{0, 12, 0, 4, 'l', 'a', 'p', 'b'}));  // no end tag
}
