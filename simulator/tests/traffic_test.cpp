// The measurement traffic of every line mode, checked the way a reader of the
// buffer would see it: determinism, words that survive the unit packing,
// BCD time stamps, and frames that are what their protocol says (check
// characters and FCS right where marked good, wrong where marked bad).
#include <gtest/gtest.h>

#include <map>

#include "line/wire.h"
#include "link/crc16.h"
#include "sets/data_store.h"
#include "simulator/records.h"
#include "simulator/traffic.h"
#include "traffic/traffic_context.h"

namespace simulator {
namespace {

using Bytes = std::vector<std::uint8_t>;

LineConditions conditions(LineMode mode, FrameProtocol protocol = FrameProtocol::Mixed) {
    return LineConditions::from_setup(default_setup(Model::Rv7030, mode), protocol);
}

struct Cell {
    Direction dir;
    std::uint8_t status;
    std::uint8_t ch;
};

std::vector<Cell> cells_of(const std::vector<std::uint32_t>& words) {
    std::vector<Cell> cells;
    for (std::uint32_t w : words) {
        if ((w & 0x30) == 0) continue;
        const std::uint8_t sd = w & 0x0F, rd = (w >> 16) & 0x0F;
        if (sd != 15) cells.push_back({Direction::Sd, sd, static_cast<std::uint8_t>(w >> 8)});
        if (rd != 15) cells.push_back({Direction::Rd, rd, static_cast<std::uint8_t>(w >> 24)});
    }
    return cells;
}

struct Frame {
    Direction dir;
    Bytes bytes;
    int end = 0;  // status that ended it: 2/3 FCS mark then 11, 12 short, 9 abort
};

// Bit-oriented frames as the delimiter groups them: opening flag to closing flag.
std::vector<Frame> hdlc_frames(const std::vector<std::uint32_t>& words) {
    std::vector<Frame> frames;
    std::map<Direction, Frame> open;
    for (const Cell& c : cells_of(words)) {
        auto it = open.find(c.dir);
        if (c.status == kOpenFlag) {
            open[c.dir] = Frame{c.dir, {}, 0};
        } else if (it == open.end()) {
            continue;
        } else if (c.status == kChar) {
            it->second.bytes.push_back(c.ch);
        } else if (c.status == kCheckGood || c.status == kCheckError || c.status == kAbort) {
            it->second.end = c.status;
            if (c.status != kAbort) it->second.bytes.push_back(c.ch);  // FCS mark keeps its byte for the check
        } else if (c.status == kCloseFlag || c.status == kShortFrame) {
            if (c.status == kShortFrame) it->second.end = kShortFrame;
            frames.push_back(it->second);
            open.erase(it);
        }
    }
    return frames;
}

TEST(Traffic, SameSeedSameWordsOtherSeedOtherWords) {
    for (LineMode mode : {LineMode::Async, LineMode::Sync, LineMode::Hdlc, LineMode::Nrzi, LineMode::Ppp}) {
        const auto c = conditions(mode);
        EXPECT_EQ(generate_records(c, 7, 3000), generate_records(c, 7, 3000));
        EXPECT_NE(generate_records(c, 7, 3000), generate_records(c, 8, 3000));
    }
}

TEST(Traffic, EveryWordTravelsAsAUnitAndComesBackUnchanged) {
    for (LineMode mode : {LineMode::Async, LineMode::Sync, LineMode::Hdlc, LineMode::Nrzi, LineMode::Ppp}) {
        const auto words = generate_records(conditions(mode), 3, 20000);
        Bytes units;
        for (std::uint32_t w : words) {
            ASSERT_NE(w, 0u);
            ASSERT_TRUE(append_unit(units, w)) << std::hex << w;
        }
        EXPECT_EQ(expand_units(units), words);
    }
}

TEST(Traffic, TimeStampsAreBcdWithDirectionAndIdleFollowsTheUnit) {
    const auto words = generate_records(conditions(LineMode::Async), 11, 5000);
    int sd = 0, rd = 0, idles = 0, states = 0;
    auto bcd_ok = [](unsigned v, unsigned max) { return (v & 0x0F) <= 9 && (v >> 4) * 10 + (v & 0x0F) <= max; };
    for (std::uint32_t w : words) {
        if ((w & 0x3F) == 3) {
            const unsigned h = (w >> 8) & 0x7F, m = (w >> 16) & 0xFF, s = w >> 24;
            EXPECT_TRUE(bcd_ok(h, 23) && bcd_ok(m, 59) && bcd_ok(s, 59)) << std::hex << w;
            ((w >> 15) & 1 ? rd : sd)++;
        } else if ((w & 0x3F) == 2) {
            ++idles;
            EXPECT_NE((w >> 8 & 0xFF) | (w >> 24) << 8, 0u);
        } else if ((w & 0x3F) == 1) {
            ++states;
        }
    }
    EXPECT_GT(sd, 50);
    EXPECT_GT(rd, 50);
    EXPECT_GT(idles, 50);
    EXPECT_GE(states, 1);
}

TEST(Traffic, EveryModeChangesLineStatesAndEachChangeStartsWhereTheLastEnded) {
    for (LineMode mode : {LineMode::Async, LineMode::Sync, LineMode::Hdlc, LineMode::Nrzi, LineMode::Ppp}) {
        std::uint32_t after = 0;
        int changes = 0;
        for (std::uint32_t w : generate_records(conditions(mode), 4, 60000)) {
            if ((w & 0x3F) != 1) continue;
            EXPECT_EQ((w >> 8) & 0xFF, after);
            EXPECT_NE((w >> 8) & 0xFF, w >> 24);
            after = w >> 24;
            ++changes;
        }
        EXPECT_GE(changes, 3) << static_cast<int>(mode);
    }
}

TEST(Traffic, AsyncBlocksCarryTheirLrcWhereMarkedGood) {
    const auto c = conditions(LineMode::Async);
    ASSERT_EQ(c.check, 1);  // LRC odd in the default setup
    Bytes body;
    bool in_block = false;
    int good = 0, bad = 0, breaks = 0;
    for (const Cell& cell : cells_of(generate_records(c, 5, 30000))) {
        if (cell.status == kBreak) ++breaks;
        if (cell.dir != Direction::Sd) continue;
        if (cell.ch == 0x02 && cell.status == kChar) {
            in_block = true;
            body.clear();
        } else if (in_block && (cell.status == kCheckGood || cell.status == kCheckError)) {
            const bool matches = cell.ch == lrc(body, true);
            EXPECT_EQ(matches, cell.status == kCheckGood);
            (cell.status == kCheckGood ? good : bad)++;
            in_block = false;
        } else if (in_block) {
            body.push_back(cell.ch);
        }
    }
    EXPECT_GT(good, 20);
    EXPECT_GT(bad, 0);
    EXPECT_GT(breaks, 0);
}

TEST(Traffic, SyncTransmissionsOpenWithSyncCharactersAndEndWithPads) {
    const auto c = conditions(LineMode::Sync);
    const auto words = generate_records(c, 2, 5000);
    int transmissions = 0;
    for (std::size_t i = 0; i + 2 < words.size(); ++i) {
        if ((words[i] & 0x3F) != 3) continue;  // each transmission opens with a time stamp
        const auto next = cells_of({words[i + 1], words[i + 2]});
        ASSERT_EQ(next.size(), 2u);
        EXPECT_EQ(next[0].ch, c.sync_chars[0]);
        EXPECT_EQ(next[1].ch, c.sync_chars[1]);
        ++transmissions;
    }
    EXPECT_GT(transmissions, 30);
}

TEST(Traffic, HdlcFramesHaveTheirFcsWhereMarkedGood) {
    const auto frames = hdlc_frames(generate_records(conditions(LineMode::Hdlc), 9, 40000));
    int good = 0, bad = 0, aborted = 0, short_frames = 0;
    for (const Frame& f : frames) {
        if (f.end == kAbort) {
            ++aborted;
            continue;
        }
        if (f.end == kShortFrame) {
            ++short_frames;
            continue;
        }
        ASSERT_GE(f.bytes.size(), 3u);
        const Bytes data(f.bytes.begin(), f.bytes.end() - 1);
        const bool matches = static_cast<std::uint8_t>(crc16_x25(data)) == f.bytes.back();
        EXPECT_EQ(matches, f.end == kCheckGood);
        (f.end == kCheckGood ? good : bad)++;
    }
    EXPECT_GT(good, 100);
    EXPECT_GT(bad, 0);
    EXPECT_GT(aborted, 0);
    EXPECT_GT(short_frames, 0);
}

TEST(Traffic, LapdCarriesAQ931CallInOrder) {
    const auto frames = hdlc_frames(generate_records(conditions(LineMode::Hdlc, FrameProtocol::Lapd), 4, 4000));
    std::vector<std::uint8_t> messages;
    for (const Frame& f : frames) {
        // Two address bytes (SAPI 0, TEI 64), two control bytes of an I frame, then Q.931.
        if (f.end != kCheckGood || f.bytes.size() < 9 || (f.bytes[2] & 1) != 0) continue;
        EXPECT_EQ(f.bytes[1], 0x81);
        EXPECT_EQ(f.bytes[4], 0x08);
        messages.push_back(f.bytes[7]);
    }
    ASSERT_GE(messages.size(), 7u);
    EXPECT_EQ(Bytes(messages.begin(), messages.begin() + 7), (Bytes{0x05, 0x02, 0x07, 0x0F, 0x45, 0x4D, 0x5A}));
}

TEST(Traffic, X25SessionsSetUpCallsAndClearThem) {
    for (FrameProtocol p : {FrameProtocol::X25Mod8, FrameProtocol::X25Mod128}) {
        const bool ext = p == FrameProtocol::X25Mod128;
        const auto frames = hdlc_frames(generate_records(conditions(LineMode::Hdlc, p), 6, 6000));
        ASSERT_GT(frames.size(), 10u);
        EXPECT_EQ(frames[0].bytes[1], ext ? 0x7F : 0x3F);  // SABME / SABM with P
        EXPECT_EQ(frames[1].bytes[1], 0x73);               // UA with F
        std::vector<std::uint8_t> packet_types;
        int rej = 0;
        for (const Frame& f : frames) {
            if (f.end != kCheckGood || f.bytes.size() < 3) continue;
            if ((f.bytes[1] & 0x0F) == 0x09) ++rej;
            const std::size_t header = ext ? 3 : 2;
            if ((f.bytes[1] & 1) == 0 && f.bytes.size() >= header + 4) {
                EXPECT_EQ(f.bytes[header] & 0xF0, ext ? 0x20 : 0x10);
                packet_types.push_back(f.bytes[header + 2]);
            }
        }
        ASSERT_GE(packet_types.size(), 3u);
        EXPECT_EQ(packet_types[0], 0x0B);                                                          // CALL REQUEST
        EXPECT_EQ(packet_types[1], 0x0F);                                                          // CALL CONNECTED
        EXPECT_NE(std::find(packet_types.begin(), packet_types.end(), 0x13), packet_types.end());  // CLEAR
        EXPECT_GT(rej, 0);
    }
}

TEST(Traffic, SdlcPollsItsSecondaryStation) {
    const auto frames = hdlc_frames(generate_records(conditions(LineMode::Nrzi, FrameProtocol::Sdlc), 1, 2000));
    ASSERT_GT(frames.size(), 4u);
    EXPECT_EQ(frames[0].bytes[0], 0xC1);
    EXPECT_EQ(frames[0].bytes[1], 0x93);  // SNRM with P
}

TEST(Traffic, PppFramesAreEscapedAndCheckedAndNegotiateFirst) {
    const auto cells = cells_of(generate_records(conditions(LineMode::Ppp), 12, 20000));
    std::vector<Bytes> frames;
    std::map<Direction, Bytes> open;
    for (const Cell& c : cells) {
        if (c.status != kChar) continue;
        if (c.ch != 0x7E) {
            open[c.dir].push_back(c.ch);
            continue;
        }
        Bytes& raw = open[c.dir];
        if (raw.empty()) continue;
        Bytes frame;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            EXPECT_TRUE(raw[i] >= 0x20 || raw[i] == 0x7D ? true : false) << "control character sent bare";
            frame.push_back(raw[i] == 0x7D ? static_cast<std::uint8_t>(raw[++i] ^ 0x20) : raw[i]);
        }
        EXPECT_EQ(commlib::Crc16x25(commlib::Crc16Preset, frame), commlib::Crc16Residue);
        frames.push_back(frame);
        raw.clear();
    }
    ASSERT_GT(frames.size(), 20u);
    EXPECT_EQ(Bytes(frames[0].begin(), frames[0].begin() + 5), (Bytes{0xFF, 0x03, 0xC0, 0x21, 0x01}));
    const bool ipcp =
        std::any_of(frames.begin(), frames.end(), [](const Bytes& f) { return f[2] == 0x80 && f[3] == 0x21; });
    const bool ip =
        std::any_of(frames.begin(), frames.end(), [](const Bytes& f) { return f[2] == 0x00 && f[3] == 0x21; });
    EXPECT_TRUE(ipcp);
    EXPECT_TRUE(ip);
}

}  // namespace
}  // namespace simulator
