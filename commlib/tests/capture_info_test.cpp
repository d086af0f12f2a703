// The measurement information during a capture: the conditions item saved as
// "datainfo.mkw", and the updates 0xE000 to 0xEC00 writing exactly their
// fields of the body, never outside it, and only once the conditions are in.
#include <gtest/gtest.h>

#include "capture_fixture.h"
#include "data_set_test_util.h"
#include "datasets/info_set.h"
#include "pcbuffer/buffer_names.h"

namespace commlib::test {
namespace {

constexpr int R = 420;

void Put(Bytes& body, int at, const Bytes& bytes) { std::copy(bytes.begin(), bytes.end(), body.begin() + at); }
Bytes Slice(const Bytes& p, int from, int n) { return Bytes(p.begin() + from, p.begin() + from + n); }
Bytes Le16(unsigned v) { return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)}; }
Bytes Le32(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 24)};
}
Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

class CaptureInfoTest : public CaptureFixture {
protected:
    void SetUp() override {
        Make(4, false);
        writer->BeginCapture();
        writer->StoreInformation(&info, 0x8100, conditions);
        ASSERT_TRUE(info.IsComplete());
        expected.assign(pcbuffer::kInfoBodySize, 0);
        Put(expected, 0, conditions);
    }
    Bytes Body() {
        auto* p = static_cast<const std::uint8_t*>(info.GetBody());
        return p ? Bytes(p, p + pcbuffer::kInfoBodySize) : Bytes{};
    }
    void Apply(std::uint16_t item, const Bytes& payload) { writer->StoreInformation(&info, item, payload); }

    InfoSet info{2};
    const Bytes conditions = Pattern(InfoReceiveSize, 3);
    Bytes expected;
};

TEST_F(CaptureInfoTest, ConditionsAreSavedAsDataInfoFileWithTheModelCode) {
    EXPECT_EQ(testing_util::read_file(pcbuffer::InfoFilePath(dir.path())),
              DataSetFile("MIRLOKE DATAINFO", 2, expected));
    // A longer item brings no more than the conditions.
    const Bytes longer = Pattern(600, 9);
    Apply(0x8100, longer);
    Put(expected, 0, Slice(longer, 0, InfoReceiveSize));
    EXPECT_EQ(Body(), expected);
}

TEST_F(CaptureInfoTest, CountersGoToTheirFieldsAndAreSavedWithTheNextConditions) {
    const Bytes before = testing_util::read_file(pcbuffer::InfoFilePath(dir.path()));
    const std::uint16_t ids[] = {0xE200, 0x5200, 0xE201, 0x5201, 0xE300, 0x5300,
                                 0xE301, 0x5301, 0xE100, 0xE101, 0x1234};
    Bytes payload;
    for (std::uint32_t i = 0; i < std::size(ids); ++i) payload = Cat({payload, Le16(ids[i]), Le32(0xA0B0C000 + i)});
    payload.push_back(0x99);  // a broken last entry
    Apply(0xE000, payload);
    const int at16[] = {388, 390, 394, 396, 400, 402, 406, 408};
    for (std::uint32_t i = 0; i < 8; ++i) Put(expected, at16[i], Le16(0xC000 + i));
    Put(expected, 412, Le32(0xA0B0C008));
    Put(expected, 416, Le32(0xA0B0C009));
    EXPECT_EQ(Body(), expected);
    EXPECT_EQ(testing_util::read_file(pcbuffer::InfoFilePath(dir.path())), before);

    Apply(0x8100, conditions);
    EXPECT_EQ(testing_util::read_file(pcbuffer::InfoFilePath(dir.path())),
              DataSetFile("MIRLOKE DATAINFO", 2, expected));
}

TEST_F(CaptureInfoTest, E800WritesItsFiveFields) {
    const Bytes p = Pattern(30, 1);
    Apply(0xE800, Slice(p, 0, 23));
    EXPECT_EQ(Body(), expected);
    Apply(0xE800, p);
    Put(expected, R + 0, Slice(p, 0, 2));
    Put(expected, R + 2, Slice(p, 8, 16));  // four 32-bit fields from payload 8..23, back to back
    EXPECT_EQ(Body(), expected);
}

TEST_F(CaptureInfoTest, E900WritesPairsFromItsStartAndThenItsValue) {
    Apply(0xE900, Bytes{1, 2, 3});
    EXPECT_EQ(Body(), expected);
    const Bytes e0 = Pattern(8, 50), e1 = Pattern(8, 60);
    Apply(0xE900, Cat({Le16(0x1234), Le16(2), e0, e1, Bytes{7, 7, 7, 7, 7}}));
    Put(expected, R + 14 + 16, e0);
    Put(expected, R + 14 + 24, e1);
    Put(expected, R + 12, Le16(0x1234));
    EXPECT_EQ(Body(), expected);

    // Start 199 puts entry 0 at 2026..2033; entry 1 would cross the body's end and is left out.
    Apply(0xE900, Cat({Le16(0x5678), Le16(199), e1, e0}));
    Put(expected, 2026, e1);
    Put(expected, R + 12, Le16(0x5678));
    EXPECT_EQ(Body(), expected);
}

TEST_F(CaptureInfoTest, EA00WritesItsFifteenFields) {
    const Bytes p = Pattern(44, 5);
    Apply(0xEA00, Slice(p, 0, 43));
    EXPECT_EQ(Body(), expected);
    Apply(0xEA00, p);
    Put(expected, R + 4, Slice(p, 2, 2));
    Put(expected, R + 0, Slice(p, 4, 4));
    const int from[] = {8, 12, 14, 16, 20, 22, 24, 28, 30, 32, 36, 38, 40};
    for (int i = 0; i < 13; ++i) Put(expected, R + 6 + 2 * i, Slice(p, from[i], 2));
    EXPECT_EQ(Body(), expected);
}

TEST_F(CaptureInfoTest, EB00StartIsSignedAndItsValueIsWrittenLast) {
    Apply(0xEB00, Cat({Le16(0xBEEF), Le16(0xFFFF), Le32(0x11223344), Le32(0x55667788), Bytes{1, 2}}));
    // Start -1: entry 0 lands on R-2..R+1, then the value overwrites R+0..1.
    Put(expected, R - 2, Le32(0x11223344));
    Put(expected, R + 2, Le32(0x55667788));
    Put(expected, R + 0, Le16(0xBEEF));
    EXPECT_EQ(Body(), expected);

    // Start -200 would reach before the body: only the value is written.
    Apply(0xEB00, Cat({Le16(0x0102), Le16(static_cast<std::uint16_t>(-200)), Le32(0xDEADBEEF)}));
    Put(expected, R + 0, Le16(0x0102));
    EXPECT_EQ(Body(), expected);
}

TEST_F(CaptureInfoTest, EC00WritesIndexedEntriesAndTheSumEntry) {
    Apply(0xEC00, Bytes(11, 1));
    EXPECT_EQ(Body(), expected);
    Apply(0xEC00, Cat({Le32(3),      Le16(0xA1A1),     Le16(0xB2B2),     Le16(0xC3C3),
                       Le16(0xD4D4), Le32(0xFFFFFFFF), Le16(0xFFFF),     Le16(0x7777),
                       Le16(0x0002), Le16(0x8888),     Le32(0x7FFFFFFF), Le16(1),
                       Le16(2),      Le16(3),          Le16(4),          Le32(static_cast<std::uint32_t>(-300)),
                       Le16(1),      Le16(2),          Le16(3),          Le16(4),
                       Le32(201),    Le16(5),          Le16(6),          Le16(7),
                       Le16(8),      Bytes{9, 9}}));
    Put(expected, R + 24, Cat({Le16(0xA1A1), Le16(0xB2B2), Le16(0xC3C3), Le16(0xD4D4)}));
    Put(expected, R + 0, Cat({Le16(0x0001), Le16(0x0002)}));                // a + c in 16 bits, then c
    Put(expected, R + 8 * 201, Cat({Le16(5), Le16(6), Le16(7), Le16(8)}));  // 2028..2035 still fits
    EXPECT_EQ(Body(), expected);
}

TEST_F(CaptureInfoTest, UpdatesWaitForCompleteConditions) {
    // A short conditions item leaves the set incomplete: nothing saved, updates ignored.
    std::filesystem::remove(pcbuffer::InfoFilePath(dir.path()));
    Apply(0x8100, Slice(conditions, 0, 100));
    EXPECT_FALSE(info.IsComplete());
    EXPECT_FALSE(std::filesystem::exists(pcbuffer::InfoFilePath(dir.path())));
    Apply(0xE800, Pattern(24));
    Apply(0x8100, conditions);
    EXPECT_EQ(Body(), expected);
    // Without the data set nothing happens at all.
    writer->StoreInformation(nullptr, 0x8100, conditions);
}

TEST(CaptureInfoNotStoring, ConditionsAreKeptButNotSaved) {
    // A folder but no blocks allowed: nothing of the measurement is stored.
    testing_util::TempDir dir;
    CaptureOutput out;
    capture::CaptureWriter writer(out);
    BufferSettings noBlocks{dir.path().c_str(), 0, 0, 0};
    writer.ScanFolder(noBlocks);
    writer.BeginCapture();
    InfoSet info(1);
    writer.StoreInformation(&info, 0x8100, Pattern(InfoReceiveSize));
    EXPECT_TRUE(info.IsComplete());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace commlib::test
