// The receive classifier: every framing, every check, idle dropping and
// resynchronisation, with the line's exact bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/framing.h"
#include "link/receive_classifier.h"

namespace commlib {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Event {
    int event;
    int framing;
    Bytes data;
    bool operator==(const Event&) const = default;
};

class Recorder : public ClassifierSink {
public:
    bool idle = false;
    std::vector<Event> events;
    bool EngineIdle() override { return idle; }
    void Deliver(int event, std::unique_ptr<LinkMessage> msg) override {
        if (msg) events.push_back({event, msg->framing, Bytes(msg->Bytes().begin(), msg->Bytes().end())});
        else events.push_back({event, -1, {}});
    }
};

Bytes BytesOf(std::string_view s) { return Bytes(s.begin(), s.end()); }
Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

class Classifier : public ::testing::Test {
protected:
    ReceiveClassifier classifier;
    Recorder sink;
    void Feed(const Bytes& b) { classifier.Feed(b, sink); }
    void Feed(std::string_view s) { Feed(BytesOf(s)); }
};

TEST_F(Classifier, SingleCharacterAnswersOutsideMessages) {
    Feed("*?/!\n");
    EXPECT_EQ(sink.events, (std::vector<Event>{{EvAck, -1, {}}, {EvNak, -1, {}}, {EvCancel, -1, {}}, {EvEnd, -1, {}}}));
    EXPECT_FALSE(classifier.Assembling());
}

TEST_F(Classifier, BytesWhileIdleAreDroppedEvenAnswers) {
    sink.idle = true;
    Feed("*RV-7010 1.02\r");
    Feed(SynFrame(Bytes{0x30, 0x00}));
    EXPECT_TRUE(sink.events.empty());
    EXPECT_FALSE(classifier.Assembling());
    // A message already being assembled is finished even if the engine went idle.
    sink.idle = false;
    Feed("%T");
    sink.idle = true;
    Feed("1\r*");
    EXPECT_EQ(sink.events, (std::vector<Event>{{EvPercentLine, FramingPercent, BytesOf("T1")}}));
}

TEST_F(Classifier, TextAndPercentLines) {
    Feed("RV-7020 2.0A\r\n%@X\r\n");
    EXPECT_EQ(sink.events, (std::vector<Event>{{EvLine, FramingText, BytesOf("RV-7020 2.0A")},
                                               {EvPercentLine, FramingPercent, BytesOf("@X")}}));
    // A CR outside a message is the first character of a line, and LF inside a line is kept.
    sink.events.clear();
    Feed("\r\nab\r");
    EXPECT_EQ(sink.events, (std::vector<Event>{{EvLine, FramingText, BytesOf("\r\nab")}}));
}

TEST_F(Classifier, OverlongTextLineIsDroppedAndTheStreamRecovers) {
    Feed(Bytes(3000, 'x'));
    Feed("\r*");
    EXPECT_EQ(sink.events, (std::vector<Event>{{EvAck, -1, {}}}));
    Feed(Bytes(2051, 'y'));  // one less than the capacity still fits
    Feed("\r");
    ASSERT_EQ(sink.events.size(), 2u);
    EXPECT_EQ(sink.events[1].data.size(), 2051u);
}

TEST_F(Classifier, HexBlocks) {
    Feed("$0102FD\r");
    EXPECT_EQ(sink.events, (std::vector<Event>{{EvLine, FramingHex, Bytes{0x01, 0x02}}}));
    sink.events.clear();
    Feed("$0a0bEb\r");  // either case of digits
    EXPECT_EQ(sink.events, (std::vector<Event>{{EvLine, FramingHex, Bytes{0x0A, 0x0B}}}));
    sink.events.clear();
    // Bad sum, odd length, too short, non-hex digit: all dropped silently.
    Feed("$0102FE\r$0102F\r$00\r$01G2FD\r*");
    EXPECT_EQ(sink.events, (std::vector<Event>{{EvAck, -1, {}}}));
}

TEST_F(Classifier, BinaryBlocks) {
    auto good = MakeBinaryBlock(Bytes{0x10, 0x16, '\r', 0xFF});
    Feed(Bytes(good->Bytes().begin(), good->Bytes().end()));
    EXPECT_EQ(sink.events, (std::vector<Event>{{EvLine, FramingBinary, Bytes{0x10, 0x16, '\r', 0xFF}}}));
    sink.events.clear();
    Bytes bad(good->Bytes().begin(), good->Bytes().end());
    bad.back() ^= 1;
    Feed(bad);
    Feed("*");
    EXPECT_EQ(sink.events, (std::vector<Event>{{EvAck, -1, {}}}));
    sink.events.clear();
    // A zero-length block holds no check byte and is invalid.
    Feed(Bytes{'&', 0x00, 0x00, 0x00});
    EXPECT_TRUE(sink.events.empty());
    EXPECT_FALSE(classifier.Assembling());
}

TEST_F(Classifier, BinaryBlockTooLongToHoldIsGivenUpAtOnce) {
    Feed(Bytes{'&', 0xFF, 0xFF});
    EXPECT_FALSE(classifier.Assembling());
    Feed("*");
    EXPECT_EQ(sink.events, (std::vector<Event>{{EvAck, -1, {}}}));
}

TEST_F(Classifier, SynFramesAreUnstuffedAndChecked) {
    const Bytes packet{0x40, 0x16, 0x10, 0x11, 0x13, 0x00};
    Feed(SynFrame(packet));
    EXPECT_EQ(sink.events, (std::vector<Event>{{EvFrame, FramingSyn, packet}}));
    // The closing SYN opened the next frame: an answer character now belongs to it.
    EXPECT_TRUE(classifier.Assembling());
    Feed("*");
    EXPECT_EQ(sink.events.size(), 1u);
}

TEST_F(Classifier, BadCrcFrameThenGoodFrameDeliversOnlyTheGoodOne) {
    Bytes bad = SynFrame(Bytes{0x30, 0x01});
    bad[2] ^= 0x01;
    Feed(Concat({bad, SynFrame(Bytes{0x30, 0x00})}));
    EXPECT_EQ(sink.events, (std::vector<Event>{{EvFrame, FramingSyn, Bytes{0x30, 0x00}}}));
}

TEST_F(Classifier, FramesSharingOneSynAreBothDelivered) {
    Bytes first = SynFrame(Bytes{0x30, 0x00});
    Bytes second = SynFrame(Bytes{0x32, 0x00, 0x01, 0x02, 0x05});
    first.pop_back();  // 16 .. 16 .. 16: one SYN between them
    Feed(Concat({first, second}));
    EXPECT_EQ(sink.events, (std::vector<Event>{{EvFrame, FramingSyn, Bytes{0x30, 0x00}},
                                               {EvFrame, FramingSyn, Bytes{0x32, 0x00, 0x01, 0x02, 0x05}}}));
}

TEST_F(Classifier, MalformedFramesAreDropped) {
    // Empty frames (idle SYNs), a frame ending in DLE, one with only the CRC
    // and one byte, and an overlong one all vanish without an event.
    Feed(Bytes{0x16, 0x16, 0x16});
    Feed(Bytes{0x30, 0x10, 0x16});
    const Bytes shortFrame = SynFrame(Bytes{0x30});
    Feed(Bytes(shortFrame.begin() + 1, shortFrame.end()));
    Feed(Bytes(2100, 0x41));
    Feed(Bytes{0x16});
    EXPECT_TRUE(sink.events.empty());
    // Still in step: the next good frame comes through.
    Feed(Bytes{0x30, 0x00, 0xE5, 0xB9, 0x16});
    EXPECT_EQ(sink.events, (std::vector<Event>{{EvFrame, FramingSyn, Bytes{0x30, 0x00}}}));
}

TEST_F(Classifier, DiscardDropsThePartialMessage) {
    Feed("%T0");
    classifier.Discard();
    Feed("*");
    EXPECT_EQ(sink.events, (std::vector<Event>{{EvAck, -1, {}}}));
}

TEST_F(Classifier, SplitAtEveryPositionGivesTheSameEvents) {
    const Bytes stream = Concat(
        {BytesOf("*%@X\r$0102FD\r"), SynFrame(Bytes{0x41, 0x00, 0x02, 0x34, 0x16}), SynFrame(Bytes{0x30, 0x00})});
    Classifier::Feed(stream);
    const auto whole = sink.events;
    ASSERT_EQ(whole.size(), 5u);
    for (std::size_t cut = 1; cut < stream.size(); ++cut) {
        ReceiveClassifier c;
        Recorder r;
        c.Feed(std::span(stream).first(cut), r);
        c.Feed(std::span(stream).subspan(cut), r);
        EXPECT_EQ(r.events, whole) << "cut at " << cut;
    }
}

}  // namespace
}  // namespace commlib
