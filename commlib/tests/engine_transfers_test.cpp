// Data-set transfers in both dialects: text-mode gets (lines and blocks down)
// and puts (128-byte binary blocks up), packet-mode gets ("D" pieces in) and
// puts (pieces of at most 1008 bytes, one per completed write), and their ends.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "engine_harness.h"

namespace commlib::test {
namespace {

using ::testing::ElementsAre;

Bytes patterned(int n, int seed) {
    Bytes b(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 13 + seed + i / 256);
    return b;
}

// "&", length, data, check byte: built here independently of the link's framer.
Bytes binaryBlock(const Bytes& data) {
    // Sized once: g++ 12 at -O3 warns (-Warray-bounds) when a 3-byte vector grows by insert.
    Bytes b(3 + data.size() + 1);
    b[0] = '&';
    b[1] = static_cast<std::uint8_t>(data.size());
    b[2] = static_cast<std::uint8_t>(data.size() >> 8);
    std::copy(data.begin(), data.end(), b.begin() + 3);
    unsigned sum = b[1] + b[2];
    for (std::uint8_t x : data) sum += x;
    b.back() = static_cast<std::uint8_t>(-sum);
    return b;
}

Bytes slice(const Bytes& b, std::size_t from, std::size_t n) {
    return Bytes(b.begin() + static_cast<std::ptrdiff_t>(from), b.begin() + static_cast<std::ptrdiff_t>(from + n));
}

Bytes dataPiece(std::uint8_t id, std::uint8_t flags, unsigned item, std::uint32_t offset, const Bytes& data) {
    Bytes p{'D', 0, id, flags};
    put16(p, item);
    put32(p, offset);
    return cat({p, data});
}

Bytes endPacket(std::uint8_t seq, std::uint8_t id, std::uint8_t flags, unsigned item) {
    Bytes p{'E', seq, id, flags};
    put16(p, item);
    return p;
}

// A table of three cells: the 68-byte head with the count at offset 64, then 6 bytes.
Bytes threeCellTable() {
    Bytes t = patterned(74, 3);
    t[64] = 3;
    t[65] = 0;
    return t;
}

void fill(DataSet* set, const Bytes& bytes) {
    ASSERT_NE(set, nullptr);
    set->ReceiveAt(0, bytes.data(), static_cast<int>(bytes.size()));
    ASSERT_TRUE(set->IsComplete());
}

TEST(EngineTextTransfers, GetSetupTakesLinesAndBlocksUntilTheEnd) {
    Harness h;
    h.connectText();
    const Bytes setup = patterned(910, 1);
    h.request(ReqGetSetup);
    EXPECT_EQ(h.takeLine(), text("%T1\r\n"));
    EXPECT_EQ(h.engine->Current(), State::GetSetup);
    h.ack();
    EXPECT_EQ(h.engine->Current(), State::GetSetupReceive);
    EXPECT_TRUE(h.takeSent().empty());
    h.line(slice(setup, 0, 500), FramingHex);
    h.line(slice(setup, 500, 410), FramingBinary);
    EXPECT_EQ(h.takeLine(), text("**"));
    h.end();
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqGetSetup, StatusDone, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::TextSession);
    ASSERT_NE(h.engine->SetupData(), nullptr);
    EXPECT_EQ(std::memcmp(h.engine->SetupData(), setup.data(), setup.size()), 0);
}

TEST(EngineTextTransfers, GetStartingWithALineAndGetsOfTheOtherSets) {
    Harness h;
    h.connectText();
    const Bytes table = threeCellTable();
    h.request(ReqGetTable);
    EXPECT_EQ(h.takeLine(), text("%T2\r\n"));
    h.line(table, FramingHex);
    EXPECT_EQ(h.engine->Current(), State::GetTableReceive);
    EXPECT_EQ(h.takeLine(), text("*"));
    h.end();
    ASSERT_NE(h.engine->TableData(), nullptr);
    EXPECT_EQ(std::memcmp(h.engine->TableData(), table.data(), table.size()), 0);
    h.request(ReqGetProgram);
    EXPECT_EQ(h.takeLine(), text("%T5\r\n"));
    EXPECT_EQ(h.engine->Current(), State::GetProgram);
    h.end();   // "!" before "*" is not an answer the command state knows
    h.nak();
    h.request(ReqGetTable3);
    EXPECT_EQ(h.takeLine(), text("%T3\r\n"));
    EXPECT_EQ(h.engine->Current(), State::GetTable3);
    h.cancel();
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqGetTable, StatusDone, nullptr},
                                           Note{ReqGetProgram, StatusNotAvailable, nullptr},
                                           Note{ReqGetTable3, StatusNotAllowed, nullptr}));
}

TEST(EngineTextTransfers, GetCancelledWhileReceivingOrUnanswered) {
    Harness h;
    h.connectText();
    h.request(ReqGetSetup);
    h.ack();
    h.line(patterned(100, 2));
    h.cancel();
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqGetSetup, StatusCancelled, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::TextSession);
    EXPECT_EQ(h.engine->DataSetOf(engine::Set::Setup)->ReceivePosition(), 0);

    h.request(ReqGetSetup);
    h.expire();
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqGetSetup, StatusNoAnswer, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::Idle);
}

TEST(EngineTextTransfers, SilentAnalyzerEndsAReceiveAfterTheWatchdog) {
    Harness h;
    h.connectText();
    h.request(ReqGetSetup);
    h.ack();
    h.ticks(engine::SilenceTicks - 1);
    h.line(patterned(10, 0));   // a line restarts the count
    h.ticks(engine::SilenceTicks - 1);
    EXPECT_TRUE(h.takeNotes().empty());
    EXPECT_EQ(h.engine->Current(), State::GetSetupReceive);
    h.ticks(1);
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqGetSetup, StatusNoAnswer, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::Idle);
}

TEST(EngineTextTransfers, PutTableSendsTheHeadAloneThenTheCells) {
    Harness h;
    h.connectText();
    const Bytes table = threeCellTable();
    fill(h.engine->DataSetOf(engine::Set::Table), table);
    h.request(ReqPutTable);
    EXPECT_EQ(h.takeLine(), text("%R2\r\n"));
    EXPECT_EQ(h.engine->Current(), State::PutTable);
    h.ack();
    EXPECT_EQ(h.takeLine(), binaryBlock(slice(table, 0, 68)));
    EXPECT_EQ(h.engine->Current(), State::PutTableSend);
    EXPECT_EQ(h.engine->ReplyTimer(), 5);
    h.ack();
    EXPECT_EQ(h.takeLine(), binaryBlock(slice(table, 68, 6)));
    h.ack();
    EXPECT_EQ(h.takeLine(), text("!"));
    EXPECT_EQ(h.engine->ReplyTimer(), 0);
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqPutTable, StatusDone, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::TextSession);
}

TEST(EngineTextTransfers, PutSetupInBlocksOf128) {
    Harness h;
    h.connectText();
    const Bytes setup = patterned(910, 9);
    fill(h.engine->DataSetOf(engine::Set::Setup), setup);
    h.request(ReqPutSetup);
    EXPECT_EQ(h.takeLine(), text("%R1\r\n"));
    Bytes sentData;
    for (int i = 0; i < 8; ++i) {
        h.ack();
        const Bytes block = h.takeLine();
        ASSERT_GE(block.size(), 4u);
        const std::size_t n = block[1] | block[2] << 8;
        EXPECT_EQ(n, i < 7 ? 128u : 910u - 7 * 128);
        sentData.insert(sentData.end(), block.begin() + 3, block.end() - 1);
    }
    EXPECT_EQ(sentData, setup);
    h.ack();
    EXPECT_EQ(h.takeLine(), text("!"));
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqPutSetup, StatusDone, nullptr}));
}

TEST(EngineTextTransfers, PutRefusedOrCancelled) {
    Harness h;
    h.connectText();
    fill(h.engine->DataSetOf(engine::Set::Program), patterned(8192, 4));
    h.request(ReqPutProgram);
    EXPECT_EQ(h.takeLine(), text("%R5\r\n"));
    EXPECT_EQ(h.engine->Current(), State::PutProgram);
    h.nak();
    h.request(ReqPutProgram);
    h.cancel();
    h.request(ReqPutProgram);
    h.ack();
    h.takeSent();
    h.nak();   // refused while sending: we cancel our side
    EXPECT_EQ(h.takeLine(), text("/"));
    h.request(ReqPutProgram);
    h.ack();
    h.cancel();
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqPutProgram, StatusNotAvailable, nullptr},
                                           Note{ReqPutProgram, StatusNotAllowed, nullptr},
                                           Note{ReqPutProgram, StatusRefused, nullptr},
                                           Note{ReqPutProgram, StatusCancelled, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::TextSession);
    h.request(ReqPutProgram);
    h.expire();
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqPutProgram, StatusNoAnswer, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::Idle);
}

TEST(EngineTextTransfers, PutTable3UsesItsOwnCommandAndAnUnansweredBlockEndsByTheWatchdog) {
    Harness h;
    h.connectText();
    Bytes t3(2038, 0x5A);
    std::memset(t3.data() + 2034, 0, 4);
    fill(h.engine->DataSetOf(engine::Set::Table3), t3);
    h.request(ReqPutTable3);
    EXPECT_EQ(h.takeLine(), text("%R3\r\n"));
    EXPECT_EQ(h.engine->Current(), State::PutTable3);
    h.ack();
    EXPECT_EQ(h.engine->Current(), State::PutTable3Send);
    h.ticks(engine::SilenceTicks);
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqPutTable3, StatusNoAnswer, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::Idle);
}

TEST(EnginePacketTransfers, GetSetupInPiecesEndsWithAnEnd) {
    Harness h;
    h.connectPacket();
    const Bytes setup = patterned(910, 5);
    h.request(ReqGetSetup);
    EXPECT_THAT(h.takePackets(), ElementsAre(Bytes{'@', 2, 4, '6', 0x00, 0x20}));
    EXPECT_EQ(h.engine->Pending(), engine::marker::GetRequested(0));
    h.ticks(2);
    h.answer(4, '6', {0x00, 0x20});
    EXPECT_EQ(h.engine->ReplyTimer(), 5);
    EXPECT_EQ(h.engine->Pending(), engine::marker::GetReceiving(0));
    h.ticks(2);
    h.packet(dataPiece(4, 0, 0x2000, 0, slice(setup, 0, 600)));
    EXPECT_EQ(h.engine->ReplyTimer(), 5);
    EXPECT_TRUE(h.takeSent().empty());
    h.packet(dataPiece(4, 1, 0x2000, 600, slice(setup, 600, 310)));
    EXPECT_THAT(h.takePackets(), ElementsAre(endPacket(3, 4, 1, 0x2000)));
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqGetSetup, StatusDone, nullptr}));
    EXPECT_EQ(h.engine->Pending(), 0u);
    ASSERT_NE(h.engine->SetupData(), nullptr);
    EXPECT_EQ(std::memcmp(h.engine->SetupData(), setup.data(), setup.size()), 0);
}

TEST(EnginePacketTransfers, PieceWithAbortEndsTheGetAsCancelled) {
    Harness h;
    h.connectPacket();
    h.request(ReqGetTable);
    h.answer(5, '6', {0x00, 0x60});
    h.takeSent();
    h.packet(dataPiece(5, 0x81, 0x6000, 0, patterned(20, 0)));
    EXPECT_THAT(h.takePackets(), ElementsAre(endPacket(3, 5, 0x81, 0x6000)));
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqGetTable, StatusCancelled, nullptr}));
    EXPECT_EQ(h.engine->Pending(), 0u);
}

TEST(EnginePacketTransfers, UnexpectedPiecesAreRefusedWithAnEnd) {
    Harness h;
    h.connectPacket();
    h.packet(dataPiece(6, 0x00, 0x7000, 0, patterned(4, 0)));
    h.request(ReqGetProgram);
    h.answer(6, '6', {0x00, 0x70});
    h.packet(dataPiece(6, 0x01, 0x6000, 0, patterned(4, 0)));   // wrong item
    h.packet(dataPiece(9, 0x00, 0x7000, 0, patterned(4, 0)));   // not a get id
    auto packets = h.takePackets();
    ASSERT_EQ(packets.size(), 4u);
    EXPECT_EQ(packets[0], endPacket(2, 6, 0x80, 0x7000));
    EXPECT_EQ(packets[2], endPacket(4, 6, 0x81, 0x6000));
    EXPECT_EQ(packets[3], endPacket(5, 9, 0x80, 0x7000));
    EXPECT_TRUE(h.takeNotes().empty());
    EXPECT_EQ(h.engine->Pending(), engine::marker::GetReceiving(2));
}

TEST(EnginePacketTransfers, AnswerForAnotherItemIsNotAvailable) {
    Harness h;
    h.connectPacket();
    h.request(ReqGetTable3);
    h.answer(7, '6', {0x00, 0x20});
    h.request(ReqGetScreen);
    EXPECT_THAT(h.takePackets().back(), (Bytes{'@', 3, 17, '6', 0x00, 0xF0}));
    h.answer(17, '6', {0x00, 0x81});
    fill(h.engine->DataSetOf(engine::Set::Setup), patterned(910, 0));
    h.request(ReqPutSetup);
    h.answer(8, '7');
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqGetTable3, StatusNotAvailable, nullptr},
                                           Note{ReqGetScreen, StatusNotAvailable, nullptr},
                                           Note{ReqPutSetup, StatusNotAvailable, nullptr}));
    EXPECT_EQ(h.engine->Pending(), 0u);
}

TEST(EnginePacketTransfers, RefusalReasonsBecomeStatuses) {
    Harness h;
    h.connectPacket();
    fill(h.engine->DataSetOf(engine::Set::Program), patterned(8192, 1));
    const std::pair<unsigned, int> cases[] = {{2, StatusNotAvailable}, {3, StatusNotAllowed}, {1, StatusRefused},
                                              {9, StatusRefused}};
    for (auto [reason, status] : cases) {
        h.request(ReqGetProgram);
        h.refuse(6, '6', reason);
        h.request(ReqPutProgram);
        h.refuse(10, '7', reason);
        EXPECT_THAT(h.takeNotes(),
                    ElementsAre(Note{ReqGetProgram, status, nullptr}, Note{ReqPutProgram, status, nullptr}));
    }
    EXPECT_EQ(h.engine->Pending(), 0u);
}

TEST(EnginePacketTransfers, PutProgramSendsAPiecePerCompletedWrite) {
    Harness h;
    h.connectPacket();
    const Bytes program = patterned(8192, 7);
    fill(h.engine->DataSetOf(engine::Set::Program), program);
    h.request(ReqPutProgram);
    EXPECT_THAT(h.takePackets(), ElementsAre(Bytes{'@', 2, 10, '7', 0x00, 0x70}));
    h.answer(10, '7', {0x00, 0x70});
    Bytes sentData;
    std::vector<Bytes> pieces = h.takePackets();
    for (int i = 0; i < 20 && h.engine->UploadOffset(2) >= 0; ++i) {
        EXPECT_EQ(h.engine->ReplyTimer(), 0);
        h.event(EvWriteDone);
        auto more = h.takePackets();
        pieces.insert(pieces.end(), more.begin(), more.end());
    }
    ASSERT_EQ(pieces.size(), 9u);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const Bytes& p = pieces[i];
        ASSERT_GE(p.size(), 10u);
        const auto offset = static_cast<std::uint32_t>(1008 * i);
        const auto flags = static_cast<std::uint8_t>(i == 8 ? 1 : 0);
        Bytes head = dataPiece(10, flags, 0x7000, offset, {});
        head[1] = static_cast<std::uint8_t>(3 + i);   // our sequence numbers after the "@" "7"
        EXPECT_EQ(slice(p, 0, 10), head);
        EXPECT_EQ(p.size() - 10, i < 8 ? 1008u : 128u);
        sentData.insert(sentData.end(), p.begin() + 10, p.end());
    }
    EXPECT_EQ(sentData, program);
    EXPECT_EQ(h.engine->ReplyTimer(), 5);
    h.event(EvWriteDone);
    EXPECT_TRUE(h.takeSent().empty());
    EXPECT_TRUE(h.takeNotes().empty());
    h.packet(endPacket(0, 10, 0x01, 0x7000));
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqPutProgram, StatusDone, nullptr}));
    EXPECT_EQ(h.engine->Pending(), 0u);
}

TEST(EnginePacketTransfers, PutEndedByTheAnalyzerMidwayIsCancelled) {
    Harness h;
    h.connectPacket();
    fill(h.engine->DataSetOf(engine::Set::Setup), patterned(910, 2));
    h.request(ReqPutSetup);
    h.answer(8, '7', {0x00, 0x20});
    h.packet(endPacket(0, 8, 0x00, 0x2000));   // neither end nor abort: not the end
    EXPECT_TRUE(h.takeNotes().empty());
    h.packet(endPacket(0, 8, 0x80, 0x2000));
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqPutSetup, StatusCancelled, nullptr}));
    EXPECT_EQ(h.engine->UploadOffset(0), -1);
    h.takeSent();
    h.event(EvWriteDone);
    EXPECT_TRUE(h.takeSent().empty());
}

TEST(EnginePacketTransfers, FailedUploadStopsSending) {
    Harness h;
    h.connectPacket();
    fill(h.engine->DataSetOf(engine::Set::Program), patterned(8192, 2));
    h.request(ReqPutProgram);
    h.answer(10, '7', {0x00, 0x70});
    h.packet({'?', 0x40});
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqPutProgram, StatusLostPacket, nullptr}));
    h.takeSent();
    h.event(EvWriteDone);
    EXPECT_TRUE(h.takeSent().empty());
}

TEST(EnginePacketTransfers, ScreenGetDrawsTheImage) {
    Harness h;
    h.connectPacket();
    const Bytes blank(static_cast<const std::uint8_t*>(h.engine->ScreenBits()),
                      static_cast<const std::uint8_t*>(h.engine->ScreenBits()) + ScreenBitsSize);
    h.request(ReqGetScreen);
    h.answer(17, '6', {0x00, 0xF0});
    const Bytes screen = patterned(1920, 11);
    h.packet(dataPiece(17, 0, 0xF000, 0, slice(screen, 0, 1000)));
    h.packet(dataPiece(17, 1, 0xF000, 1000, slice(screen, 1000, 920)));
    EXPECT_THAT(h.takeNotes(), ElementsAre(Note{ReqGetScreen, StatusDone, nullptr}));
    const auto* bits = static_cast<const std::uint8_t*>(h.engine->ScreenBits());
    // Analyzer row 63 lands inverted in image row 8 from the bottom, from byte 1.
    EXPECT_EQ(bits[8 * 32 + 1], static_cast<std::uint8_t>(~screen[63 * 30]));
    EXPECT_NE(Bytes(bits, bits + ScreenBitsSize), blank);
    ASSERT_NE(h.engine->ScreenInfo(), nullptr);
    EXPECT_EQ(h.engine->ScreenInfo()->bmiHeader.biBitCount, 1);
}

} // namespace
} // namespace commlib::test
