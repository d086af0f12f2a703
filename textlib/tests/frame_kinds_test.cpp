// The frame kinds of textlib/frame_kinds.h name every frame of the sample
// conversations as the translated line of that frame shows it: the same
// name, or the same hex value where the tables have none, in every variant.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "frames/frame_formatter.h"
#include "frames/ppp_formatter.h"
#include "sample_conversations.h"
#include "testing/temp_dir.h"
#include "textlib/frame_kinds.h"
#include "textlib/frame_reader.h"

using namespace textlib_test;

namespace {

// What the line must hold for a field: its name, or its value in hex.
std::string Shown(const textlib::FrameField& f) {
    if (f.name != nullptr) return std::string(" ") + f.name + " ";
    char hex[16];
    std::snprintf(hex, sizeof hex, f.bytes == 2 ? "(%04X)" : "(%02X)", f.value);
    return hex;
}

// Calls `check` with every frame of the buffer.
template <typename Check>
int EachFrame(const std::string& path, Check check) {
    textlib::FrameReader reader;
    EXPECT_TRUE(reader.Open(path.c_str()));
    auto f = std::make_unique<textlib::Frame>();
    int n = 0;
    while (reader.Next(*f))
        if (f->direction != textlib::kFrameLost) check(*f), ++n;
    return n;
}

TEST(FrameKinds, NameFramesAndPacketsAsTheTranslationShowsThem) {
    testing_util::TempDir dir;
    struct Case {
        std::vector<std::uint32_t> words;
        int packets;  // the packet kind of these frames
    };
    const Case cases[] = {{X25Conversation(), textlib::kPacketX25}, {Q931Call(), textlib::kPacketQ931}};
    int named = 0, packets = 0;
    for (const Case& c : cases) {
        const std::string buffer = dir.file("b" + std::to_string(&c - cases));
        std::filesystem::create_directory(buffer);
        WriteBuffer(buffer, HdlcBody(), c.words);
        for (int variant = textlib::kSdlc; variant <= textlib::kLapd; ++variant) {
            auto frames = textlib::CreateFrameFormatter(variant);
            auto withPackets = textlib::CreateFrameFormatter(variant, c.packets);
            EachFrame(buffer, [&](const textlib::Frame& f) {
                const textlib::FrameField kind = textlib::HdlcFrameField(f, variant);
                const std::string line = frames->FormatLine(f) + " ";
                if (kind.present) {
                    EXPECT_NE(line.find(Shown(kind)), std::string::npos) << line;
                }
                named += kind.name != nullptr;
                const textlib::FrameField packet = textlib::PacketField(f, variant, c.packets);
                if (!packet.present) return;
                ++packets;
                const std::string packetLine = withPackets->FormatLine(f) + " ";
                EXPECT_NE(packetLine.find(Shown(packet)), std::string::npos) << packetLine;
            });
        }
    }
    EXPECT_GT(named, 100);
    EXPECT_GT(packets, 30);
}

TEST(FrameKinds, NamePppProtocolsAndCodesAsThePppTranslationShowsThem) {
    testing_util::TempDir dir;
    const std::string buffer = dir.file("ppp");
    std::filesystem::create_directory(buffer);
    WriteBuffer(buffer, PppBody(), PppNegotiation());
    auto ppp = textlib::CreatePppFormatter();
    int codes = 0;
    const int frames = EachFrame(buffer, [&](const textlib::Frame& f) {
        const std::string line = ppp->FormatLine(f) + " ";
        const auto [protocol, code] = textlib::PppFrameFields(f);
        ASSERT_TRUE(protocol.present) << line;
        EXPECT_NE(line.find(Shown(protocol)), std::string::npos) << line;
        if (code.present) {
            EXPECT_NE(line.find(Shown(code)), std::string::npos) << line;
            ++codes;
        }
    });
    EXPECT_EQ(frames, 16);
    EXPECT_EQ(codes, 13);
}

}  // namespace
