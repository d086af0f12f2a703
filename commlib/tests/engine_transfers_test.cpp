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

Bytes Patterned(int n, int seed) {
    Bytes b(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 13 + seed + i / 256);
    return b;
}

// "&", length, data, check byte: built here independently of the link's framer.
Bytes BinaryBlock(const Bytes& data) {
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

Bytes Slice(const Bytes& b, std::size_t from, std::size_t n) {
    return Bytes(b.begin() + static_cast<std::ptrdiff_t>(from), b.begin() + static_cast<std::ptrdiff_t>(from + n));
}

Bytes DataPiece(std::uint8_t id, std::uint8_t flags, unsigned item, std::uint32_t offset, const Bytes& data) {
    Bytes p{'D', 0, id, flags};
    Put16(p, item);
    Put32(p, offset);
    return Cat({p, data});
}

Bytes EndPacket(std::uint8_t seq, std::uint8_t id, std::uint8_t flags, unsigned item) {
    Bytes p{'E', seq, id, flags};
    Put16(p, item);
    return p;
}

// A table of three cells: the 68-byte head with the count at offset 64, then 6 bytes.
Bytes ThreeCellTable() {
    Bytes t = Patterned(74, 3);
    t[64] = 3;
    t[65] = 0;
    return t;
}

void Fill(DataSet* set, const Bytes& bytes) {
    ASSERT_NE(set, nullptr);
    set->ReceiveAt(0, bytes.data(), static_cast<int>(bytes.size()));
    ASSERT_TRUE(set->IsComplete());
}

TEST(EngineTextTransfers, GetSetupTakesLinesAndBlocksUntilTheEnd) {
    Harness h;
    h.ConnectText();
    const Bytes setup = Patterned(910, 1);
    h.Request(ReqGetSetup);
    EXPECT_EQ(h.TakeLine(), Text("%T1\r\n"));
    EXPECT_EQ(h.engine->Current(), State::GetSetup);
    h.Ack();
    EXPECT_EQ(h.engine->Current(), State::GetSetupReceive);
    EXPECT_TRUE(h.TakeSent().empty());
    h.Line(Slice(setup, 0, 500), FramingHex);
    h.Line(Slice(setup, 500, 410), FramingBinary);
    EXPECT_EQ(h.TakeLine(), Text("**"));
    h.End();
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqGetSetup, StatusDone, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::TextSession);
    ASSERT_NE(h.engine->SetupData(), nullptr);
    EXPECT_EQ(std::memcmp(h.engine->SetupData(), setup.data(), setup.size()), 0);
}

TEST(EngineTextTransfers, GetStartingWithALineAndGetsOfTheOtherSets) {
    Harness h;
    h.ConnectText();
    const Bytes table = ThreeCellTable();
    h.Request(ReqGetTable);
    EXPECT_EQ(h.TakeLine(), Text("%T2\r\n"));
    h.Line(table, FramingHex);
    EXPECT_EQ(h.engine->Current(), State::GetTableReceive);
    EXPECT_EQ(h.TakeLine(), Text("*"));
    h.End();
    ASSERT_NE(h.engine->TableData(), nullptr);
    EXPECT_EQ(std::memcmp(h.engine->TableData(), table.data(), table.size()), 0);
    h.Request(ReqGetProgram);
    EXPECT_EQ(h.TakeLine(), Text("%T5\r\n"));
    EXPECT_EQ(h.engine->Current(), State::GetProgram);
    h.End();  // "!" before "*" is not an answer the command state knows
    h.Nak();
    h.Request(ReqGetTable3);
    EXPECT_EQ(h.TakeLine(), Text("%T3\r\n"));
    EXPECT_EQ(h.engine->Current(), State::GetTable3);
    h.Cancel();
    EXPECT_THAT(h.TakeNotes(),
                ElementsAre(Note{ReqGetTable, StatusDone, nullptr}, Note{ReqGetProgram, StatusNotAvailable, nullptr},
                            Note{ReqGetTable3, StatusNotAllowed, nullptr}));
}

TEST(EngineTextTransfers, GetCancelledWhileReceivingOrUnanswered) {
    Harness h;
    h.ConnectText();
    h.Request(ReqGetSetup);
    h.Ack();
    h.Line(Patterned(100, 2));
    h.Cancel();
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqGetSetup, StatusCancelled, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::TextSession);
    EXPECT_EQ(h.engine->DataSetOf(engine::Set::Setup)->ReceivePosition(), 0);

    h.Request(ReqGetSetup);
    h.Expire();
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqGetSetup, StatusNoAnswer, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::Idle);
}

TEST(EngineTextTransfers, SilentAnalyzerEndsAReceiveAfterTheWatchdog) {
    Harness h;
    h.ConnectText();
    h.Request(ReqGetSetup);
    h.Ack();
    h.Ticks(engine::SilenceTicks - 1);
    h.Line(Patterned(10, 0));  // a line restarts the count
    h.Ticks(engine::SilenceTicks - 1);
    EXPECT_TRUE(h.TakeNotes().empty());
    EXPECT_EQ(h.engine->Current(), State::GetSetupReceive);
    h.Ticks(1);
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqGetSetup, StatusNoAnswer, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::Idle);
}

TEST(EngineTextTransfers, PutTableSendsTheHeadAloneThenTheCells) {
    Harness h;
    h.ConnectText();
    const Bytes table = ThreeCellTable();
    Fill(h.engine->DataSetOf(engine::Set::Table), table);
    h.Request(ReqPutTable);
    EXPECT_EQ(h.TakeLine(), Text("%R2\r\n"));
    EXPECT_EQ(h.engine->Current(), State::PutTable);
    h.Ack();
    EXPECT_EQ(h.TakeLine(), BinaryBlock(Slice(table, 0, 68)));
    EXPECT_EQ(h.engine->Current(), State::PutTableSend);
    EXPECT_EQ(h.engine->ReplyTimer(), 5);  // a text put's blocks ignore the timer: seen only here
    h.Ack();
    EXPECT_EQ(h.TakeLine(), BinaryBlock(Slice(table, 68, 6)));
    h.Ack();
    EXPECT_EQ(h.TakeLine(), Text("!"));
    EXPECT_EQ(h.engine->ReplyTimer(), 0);  // likewise the text session
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqPutTable, StatusDone, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::TextSession);
}

TEST(EngineTextTransfers, PutSetupInBlocksOf128) {
    Harness h;
    h.ConnectText();
    const Bytes setup = Patterned(910, 9);
    Fill(h.engine->DataSetOf(engine::Set::Setup), setup);
    h.Request(ReqPutSetup);
    EXPECT_EQ(h.TakeLine(), Text("%R1\r\n"));
    Bytes sentData;
    for (int i = 0; i < 8; ++i) {
        h.Ack();
        const Bytes block = h.TakeLine();
        ASSERT_GE(block.size(), 4u);
        const std::size_t n = block[1] | block[2] << 8;
        EXPECT_EQ(n, i < 7 ? 128u : 910u - 7 * 128);
        sentData.insert(sentData.end(), block.begin() + 3, block.end() - 1);
    }
    EXPECT_EQ(sentData, setup);
    h.Ack();
    EXPECT_EQ(h.TakeLine(), Text("!"));
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqPutSetup, StatusDone, nullptr}));
}

TEST(EngineTextTransfers, PutRefusedOrCancelled) {
    Harness h;
    h.ConnectText();
    Fill(h.engine->DataSetOf(engine::Set::Program), Patterned(8192, 4));
    h.Request(ReqPutProgram);
    EXPECT_EQ(h.TakeLine(), Text("%R5\r\n"));
    EXPECT_EQ(h.engine->Current(), State::PutProgram);
    h.Nak();
    h.Request(ReqPutProgram);
    h.Cancel();
    h.Request(ReqPutProgram);
    h.Ack();
    h.TakeSent();
    h.Nak();  // refused while sending: we cancel our side
    EXPECT_EQ(h.TakeLine(), Text("/"));
    h.Request(ReqPutProgram);
    h.Ack();
    h.Cancel();
    EXPECT_THAT(
        h.TakeNotes(),
        ElementsAre(Note{ReqPutProgram, StatusNotAvailable, nullptr}, Note{ReqPutProgram, StatusNotAllowed, nullptr},
                    Note{ReqPutProgram, StatusRefused, nullptr}, Note{ReqPutProgram, StatusCancelled, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::TextSession);
    h.Request(ReqPutProgram);
    h.Expire();
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqPutProgram, StatusNoAnswer, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::Idle);
}

TEST(EngineTextTransfers, PutTable3UsesItsOwnCommandAndAnUnansweredBlockEndsByTheWatchdog) {
    Harness h;
    h.ConnectText();
    Bytes t3(2038, 0x5A);
    std::memset(t3.data() + 2034, 0, 4);
    Fill(h.engine->DataSetOf(engine::Set::Table3), t3);
    h.Request(ReqPutTable3);
    EXPECT_EQ(h.TakeLine(), Text("%R3\r\n"));
    EXPECT_EQ(h.engine->Current(), State::PutTable3);
    h.Ack();
    EXPECT_EQ(h.engine->Current(), State::PutTable3Send);
    h.Ticks(engine::SilenceTicks);
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqPutTable3, StatusNoAnswer, nullptr}));
    EXPECT_EQ(h.engine->Current(), State::Idle);
}

TEST(EnginePacketTransfers, GetSetupInPiecesEndsWithAnEnd) {
    Harness h;
    h.ConnectPacket();
    const Bytes setup = Patterned(910, 5);
    h.Request(ReqGetSetup);
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'@', 2, 4, '6', 0x00, 0x20}));
    // The answer and each piece give the analyzer the reply time anew.
    h.Ticks(4);
    h.Answer(4, '6', {0x00, 0x20});
    h.Ticks(4);
    h.Packet(DataPiece(4, 0, 0x2000, 0, Slice(setup, 0, 600)));
    h.Ticks(4);
    EXPECT_TRUE(h.TakeSent().empty());
    h.Packet(DataPiece(4, 1, 0x2000, 600, Slice(setup, 600, 310)));
    EXPECT_THAT(h.TakePackets(), ElementsAre(EndPacket(3, 4, 1, 0x2000)));
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqGetSetup, StatusDone, nullptr}));
    ASSERT_NE(h.engine->SetupData(), nullptr);
    EXPECT_EQ(std::memcmp(h.engine->SetupData(), setup.data(), setup.size()), 0);
    EXPECT_FALSE(h.Waiting());
}

TEST(EnginePacketTransfers, PieceWithAbortEndsTheGetAsCancelled) {
    Harness h;
    h.ConnectPacket();
    h.Request(ReqGetTable);
    h.Answer(5, '6', {0x00, 0x60});
    h.TakeSent();
    h.Packet(DataPiece(5, 0x81, 0x6000, 0, Patterned(20, 0)));
    EXPECT_THAT(h.TakePackets(), ElementsAre(EndPacket(3, 5, 0x81, 0x6000)));
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqGetTable, StatusCancelled, nullptr}));
    EXPECT_FALSE(h.Waiting());
}

TEST(EnginePacketTransfers, UnexpectedPiecesAreRefusedWithAnEnd) {
    Harness h;
    h.ConnectPacket();
    h.Packet(DataPiece(6, 0x00, 0x7000, 0, Patterned(4, 0)));
    h.Request(ReqGetProgram);
    h.Answer(6, '6', {0x00, 0x70});
    h.Packet(DataPiece(6, 0x01, 0x6000, 0, Patterned(4, 0)));  // wrong item
    h.Packet(DataPiece(9, 0x00, 0x7000, 0, Patterned(4, 0)));  // not a get id
    auto packets = h.TakePackets();
    ASSERT_EQ(packets.size(), 4u);
    EXPECT_EQ(packets[0], EndPacket(2, 6, 0x80, 0x7000));
    EXPECT_EQ(packets[2], EndPacket(4, 6, 0x81, 0x6000));
    EXPECT_EQ(packets[3], EndPacket(5, 9, 0x80, 0x7000));
    EXPECT_TRUE(h.TakeNotes().empty());
    h.Packet(DataPiece(6, 0x01, 0x7000, 0, Patterned(4, 0)));  // the program's get still takes its own
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqGetProgram, StatusDone, nullptr}));
}

TEST(EnginePacketTransfers, AnswerForAnotherItemIsNotAvailable) {
    Harness h;
    h.ConnectPacket();
    h.Request(ReqGetTable3);
    h.Answer(7, '6', {0x00, 0x20});
    h.Request(ReqGetScreen);
    EXPECT_THAT(h.TakePackets().back(), (Bytes{'@', 3, 17, '6', 0x00, 0xF0}));
    h.Answer(17, '6', {0x00, 0x81});
    Fill(h.engine->DataSetOf(engine::Set::Setup), Patterned(910, 0));
    h.Request(ReqPutSetup);
    h.Answer(8, '7');
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqGetTable3, StatusNotAvailable, nullptr},
                                           Note{ReqGetScreen, StatusNotAvailable, nullptr},
                                           Note{ReqPutSetup, StatusNotAvailable, nullptr}));
    EXPECT_FALSE(h.Waiting());
}

TEST(EnginePacketTransfers, RefusalReasonsBecomeStatuses) {
    Harness h;
    h.ConnectPacket();
    Fill(h.engine->DataSetOf(engine::Set::Program), Patterned(8192, 1));
    const std::pair<unsigned, int> cases[] = {
        {2, StatusNotAvailable}, {3, StatusNotAllowed}, {1, StatusRefused}, {9, StatusRefused}};
    for (auto [reason, status] : cases) {
        h.Request(ReqGetProgram);
        h.Refuse(6, '6', reason);
        h.Request(ReqPutProgram);
        h.Refuse(10, '7', reason);
        EXPECT_THAT(h.TakeNotes(),
                    ElementsAre(Note{ReqGetProgram, status, nullptr}, Note{ReqPutProgram, status, nullptr}));
    }
    EXPECT_FALSE(h.Waiting());
}

TEST(EnginePacketTransfers, PutProgramSendsAPiecePerCompletedWrite) {
    Harness h;
    h.ConnectPacket();
    const Bytes program = Patterned(8192, 7);
    Fill(h.engine->DataSetOf(engine::Set::Program), program);
    h.Request(ReqPutProgram);
    EXPECT_THAT(h.TakePackets(), ElementsAre(Bytes{'@', 2, 10, '7', 0x00, 0x70}));
    h.Answer(10, '7', {0x00, 0x70});
    Bytes sentData;
    std::vector<Bytes> pieces = h.TakePackets();
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(h.Expire(), 0) << i;  // a piece waits for its write as long as that takes
        h.Event(EvWriteDone);
        auto more = h.TakePackets();
        pieces.insert(pieces.end(), more.begin(), more.end());
    }
    ASSERT_EQ(pieces.size(), 9u);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const Bytes& p = pieces[i];
        ASSERT_GE(p.size(), 10u);
        const auto offset = static_cast<std::uint32_t>(1008 * i);
        const auto flags = static_cast<std::uint8_t>(i == 8 ? 1 : 0);
        Bytes head = DataPiece(10, flags, 0x7000, offset, {});
        head[1] = static_cast<std::uint8_t>(3 + i);  // our sequence numbers after the "@" "7"
        EXPECT_EQ(Slice(p, 0, 10), head);
        EXPECT_EQ(p.size() - 10, i < 8 ? 1008u : 128u);
        sentData.insert(sentData.end(), p.begin() + 10, p.end());
    }
    EXPECT_EQ(sentData, program);
    h.Event(EvWriteDone);
    EXPECT_TRUE(h.TakeSent().empty());
    // After the last piece the analyzer's "E" is awaited for the reply time.
    EXPECT_EQ(h.Expire(), 5);
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqPutProgram, StatusNoAnswer, nullptr}));
}

TEST(EnginePacketTransfers, PutEndedByTheAnalyzerMidwayIsCancelled) {
    for (auto [flags, status] : {std::pair{0x80, StatusCancelled}, std::pair{0x01, StatusDone}}) {
        Harness h;
        h.ConnectPacket();
        Fill(h.engine->DataSetOf(engine::Set::Program), Patterned(8192, 2));
        h.Request(ReqPutProgram);
        h.Answer(10, '7', {0x00, 0x70});
        h.Packet(EndPacket(0, 10, 0x00, 0x7000));  // neither end nor abort: not the end
        EXPECT_TRUE(h.TakeNotes().empty());
        h.Packet(EndPacket(0, 10, static_cast<std::uint8_t>(flags), 0x7000));
        EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqPutProgram, status, nullptr})) << flags;
        h.TakeSent();
        h.Event(EvWriteDone);  // the first piece written: no second one follows
        EXPECT_TRUE(h.TakeSent().empty());
        EXPECT_FALSE(h.Waiting());
    }
}

TEST(EnginePacketTransfers, FailedUploadStopsSending) {
    Harness h;
    h.ConnectPacket();
    Fill(h.engine->DataSetOf(engine::Set::Program), Patterned(8192, 2));
    h.Request(ReqPutProgram);
    h.Answer(10, '7', {0x00, 0x70});
    h.Packet({'?', 0x40});
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqPutProgram, StatusLostPacket, nullptr}));
    h.TakeSent();
    h.Event(EvWriteDone);
    EXPECT_TRUE(h.TakeSent().empty());
}

TEST(EnginePacketTransfers, ScreenGetDrawsTheImage) {
    Harness h;
    h.ConnectPacket();
    const Bytes blank(static_cast<const std::uint8_t*>(h.engine->ScreenBits()),
                      static_cast<const std::uint8_t*>(h.engine->ScreenBits()) + ScreenBitsSize);
    h.Request(ReqGetScreen);
    h.Answer(17, '6', {0x00, 0xF0});
    const Bytes screen = Patterned(1920, 11);
    h.Packet(DataPiece(17, 0, 0xF000, 0, Slice(screen, 0, 1000)));
    h.Packet(DataPiece(17, 1, 0xF000, 1000, Slice(screen, 1000, 920)));
    EXPECT_THAT(h.TakeNotes(), ElementsAre(Note{ReqGetScreen, StatusDone, nullptr}));
    const auto* bits = static_cast<const std::uint8_t*>(h.engine->ScreenBits());
    // Analyzer row 63 lands inverted in image row 8 from the bottom, from byte 1.
    EXPECT_EQ(bits[8 * 32 + 1], static_cast<std::uint8_t>(~screen[63 * 30]));
    EXPECT_NE(Bytes(bits, bits + ScreenBitsSize), blank);
    ASSERT_NE(h.engine->ScreenInfo(), nullptr);
    EXPECT_EQ(h.engine->ScreenInfo()->bmiHeader.biBitCount, 1);
}

}  // namespace
}  // namespace commlib::test
