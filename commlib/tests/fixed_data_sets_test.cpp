// The setup, program and measurement-information sets: piecewise receive and
// send, the 880-byte setup, pieces that would leave holes, and their files.
#include <gtest/gtest.h>

#include <filesystem>

#include "data_set_test_util.h"
#include "datasets/data_sets.h"
#include "pcbuffer/buffer_names.h"
#include "testing/temp_dir.h"

namespace commlib {
namespace {

using test::Bytes;
using test::Pattern;
using testing_util::read_file;
using testing_util::write_file;

Bytes BodyOf(DataSet& set, int size) {
    auto* p = static_cast<const std::uint8_t*>(set.GetBody());
    return p ? Bytes(p, p + size) : Bytes{};
}

TEST(SetupSet, CompletesOnlyWithTheLastPiece) {
    SetupSet set(4);
    const Bytes data = Pattern(SetupSize);
    int missing = 0;
    for (int at = 0; at < SetupSize; at += 128) {
        EXPECT_EQ(set.GetBody(), nullptr) << at;
        missing = set.Append(data.data() + at, std::min(128, SetupSize - at));
    }
    EXPECT_EQ(missing, 0);
    EXPECT_TRUE(set.IsComplete());
    EXPECT_EQ(BodyOf(set, SetupSize), data);
    // A new transfer at offset 0 makes the set incomplete again.
    EXPECT_EQ(set.ReceiveAt(0, data.data(), 10), SetupSize - 10);
    EXPECT_FALSE(set.IsComplete());
    EXPECT_EQ(set.GetBody(), nullptr);
}

TEST(SetupSet, OlderAnalyzersSend880Bytes) {
    SetupSet set(1);
    const Bytes stale(SetupSize, 0xEE);
    set.ReceiveAt(0, stale.data(), SetupSize);  // a previous full setup
    const Bytes data = Pattern(SetupShortSize, 3);
    set.ReceiveAt(0, data.data(), 500);
    EXPECT_EQ(set.Append(data.data() + 500, SetupShortSize - 500), SetupSize - SetupShortSize);
    ASSERT_TRUE(set.IsComplete());
    const Bytes body = BodyOf(set, SetupSize);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), body.begin()));
    EXPECT_EQ(body[880], data[2]);
    EXPECT_EQ(body[881], data[3]);
    EXPECT_EQ(body[882], data[4]);
    EXPECT_EQ(body[908], data[381]);
    for (int i = 883; i < SetupSize; ++i) {
        if (i != 908) {
            EXPECT_EQ(body[static_cast<std::size_t>(i)], 0) << i;
        }
    }
    // A newer analyzer goes on past 880: its own bytes replace the derived ones.
    const Bytes tail = Pattern(30, 9);
    EXPECT_EQ(set.Append(tail.data(), 30), 0);
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), BodyOf(set, SetupSize).begin() + 880));
}

TEST(SetupSet, PiecesOutsideTheReceivedRunAreNotStored) {
    SetupSet set(4);
    const Bytes data = Pattern(SetupSize);
    set.ReceiveAt(0, data.data(), 100);
    // Would leave bytes 100..899 unreceived, yet reach the end of the body.
    EXPECT_EQ(set.ReceiveAt(900, data.data(), 10), SetupSize - 100);
    EXPECT_FALSE(set.IsComplete());
    EXPECT_EQ(set.ReceivePosition(), 100);
    EXPECT_EQ(set.ReceiveAt(-4, data.data(), 10), SetupSize - 100);
    EXPECT_EQ(set.ReceiveAt(100, data.data(), -5), SetupSize - 100);
    EXPECT_EQ(set.ReceiveAt(100, nullptr, 50), SetupSize - 100);
    // A repeated piece is fine and continues from where it ends.
    EXPECT_EQ(set.ReceiveAt(50, data.data() + 50, 100), SetupSize - 150);
    // More than fits is cut at the end of the body.
    EXPECT_EQ(set.ReceiveAt(150, data.data() + 150, 5000), 0);
    EXPECT_EQ(BodyOf(set, SetupSize), data);
}

TEST(SetupSet, SendsInPiecesAndStaysInsideTheBody) {
    SetupSet set(4);
    const Bytes data = Pattern(SetupSize, 1);
    set.ReceiveAt(0, data.data(), SetupSize);
    set.ResetSend();
    Bytes sent;
    std::uint8_t piece[128];
    int left = 1;
    std::vector<int> sizes;
    while (left > 0) {
        int n = sizeof piece;
        left = set.ReadNext(piece, &n);
        sizes.push_back(n);
        sent.insert(sent.end(), piece, piece + n);
    }
    EXPECT_EQ(sent, data);
    EXPECT_EQ(sizes.size(), 8u);
    EXPECT_EQ(sizes.back(), SetupSize - 7 * 128);
    int n = 128;
    EXPECT_EQ(set.ReadAt(SetupSize, piece, &n), 0);
    EXPECT_EQ(n, 0);
    n = 128;
    EXPECT_EQ(set.ReadAt(SetupSize + 1, piece, &n), 0);
    EXPECT_EQ(n, 0);
    n = 128;
    set.ReadAt(-1, piece, &n);
    EXPECT_EQ(n, 0);
    n = 1008;
    std::vector<std::uint8_t> big(1008);
    EXPECT_EQ(set.ReadAt(0, big.data(), &n), 0);
    EXPECT_EQ(n, SetupSize);
}

TEST(SetupSet, SavesHeaderAndBodyAndLoadsThemBack) {
    testing_util::TempDir dir;
    SetupSet set(4);
    const std::string path = dir.file("setup.dat");
    EXPECT_FALSE(set.Save(path.c_str()));  // incomplete: nothing to save
    EXPECT_FALSE(std::filesystem::exists(path));

    const Bytes data = Pattern(SetupSize, 5);
    set.ReceiveAt(0, data.data(), SetupSize);
    ASSERT_TRUE(set.Save(path.c_str()));
    EXPECT_EQ(read_file(path), test::DataSetFile("MIRLOKE SETUP   ", 4, data));

    SetupSet other(2);
    ASSERT_TRUE(other.Load(path.c_str()));
    EXPECT_TRUE(other.IsComplete());
    EXPECT_EQ(BodyOf(other, SetupSize), data);
    EXPECT_EQ(other.ModelCode(), 2);  // the file's model code is not taken over
}

TEST(SetupSet, ShortOrForeignFilesDoNotLoad) {
    testing_util::TempDir dir;
    const Bytes data = Pattern(SetupSize);
    SetupSet set(4);
    set.ReceiveAt(0, data.data(), SetupSize);
    Bytes shortFile = test::DataSetFile("MIRLOKE SETUP   ", 4, data);
    shortFile.pop_back();
    write_file(dir.file("short"), shortFile);
    EXPECT_FALSE(set.Load(dir.file("short").c_str()));
    EXPECT_FALSE(set.IsComplete());
    EXPECT_EQ(set.GetBody(), nullptr);

    write_file(dir.file("program"), test::DataSetFile("MIRLOKE PROGRAM ", 4, data));
    EXPECT_FALSE(set.Load(dir.file("program").c_str()));
    write_file(dir.file("lower"), test::DataSetFile("mirloke setup   ", 4, data));
    EXPECT_FALSE(set.Load(dir.file("lower").c_str()));
    write_file(dir.file("tiny"), Bytes{'M', 'I'});
    EXPECT_FALSE(set.Load(dir.file("tiny").c_str()));
    EXPECT_FALSE(set.Load(dir.file("missing").c_str()));
    EXPECT_FALSE(set.Load(dir.path().c_str()));  // a folder
    EXPECT_FALSE(set.Load(nullptr));

    // Trailing bytes after the body do no harm; any model code loads.
    Bytes longer = test::DataSetFile("MIRLOKE SETUP   ", 77, data);
    longer.push_back(0x55);
    write_file(dir.file("longer"), longer);
    EXPECT_TRUE(set.Load(dir.file("longer").c_str()));
    EXPECT_EQ(BodyOf(set, SetupSize), data);
}

TEST(SetupSet, SaveReportsAFileThatCannotBeWritten) {
    testing_util::TempDir dir;
    SetupSet set(4);
    const Bytes data = Pattern(SetupSize);
    set.ReceiveAt(0, data.data(), SetupSize);
    EXPECT_FALSE(set.Save((dir.path() + "/no/such/folder/setup").c_str()));
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(set.Save("/dev/full"));
    }
}

TEST(ProgramSet, ReceivesSendsSavesAndLoads8192Bytes) {
    testing_util::TempDir dir;
    ProgramSet set(2);
    const Bytes data = Pattern(ProgramSize, 11);
    for (int at = 0; at < ProgramSize; at += 1008)
        set.ReceiveAt(at, data.data() + at, std::min(1008, ProgramSize - at));
    ASSERT_TRUE(set.IsComplete());
    int n = 1008;
    Bytes piece(1008);
    EXPECT_EQ(set.ReadAt(8 * 1008, piece.data(), &n), 0);
    EXPECT_EQ(n, ProgramSize - 8 * 1008);
    ASSERT_TRUE(set.Save(dir.file("p").c_str()));
    EXPECT_EQ(read_file(dir.file("p")), test::DataSetFile("MIRLOKE PROGRAM ", 2, data));
    ProgramSet other(2);
    EXPECT_TRUE(other.Load(dir.file("p").c_str()));
    EXPECT_EQ(BodyOf(other, ProgramSize), data);
}

TEST(InfoSet, TakesTheConditionsAndKeepsTheRestOfTheBody) {
    InfoSet set(4);
    const Bytes conditions = Pattern(500, 2);
    EXPECT_LE(set.ReceiveAt(0, conditions.data(), 500), 0);
    ASSERT_TRUE(set.IsComplete());
    auto* body = static_cast<std::uint8_t*>(set.GetBody());
    EXPECT_TRUE(std::equal(conditions.begin(), conditions.begin() + InfoReceiveSize, body));
    EXPECT_EQ(body[InfoReceiveSize], 0);  // untouched, and zero from the start
    // The capture writer's updates survive the next conditions item.
    body[400] = 0x42;
    body[2037] = 0x43;
    set.ReceiveAt(0, conditions.data(), 100);
    EXPECT_FALSE(set.IsComplete());
    set.Append(conditions.data() + 100, 288);
    ASSERT_TRUE(set.IsComplete());
    EXPECT_EQ(body[400], 0x42);
    EXPECT_EQ(body[2037], 0x43);
    // Nothing of it is ever sent.
    int n = 128;
    std::uint8_t piece[128];
    EXPECT_EQ(set.ReadAt(0, piece, &n), 0);
    EXPECT_EQ(n, 0);
}

TEST(InfoSet, SavesTheWholeBodyAsDataInfoFile) {
    testing_util::TempDir dir;
    InfoSet set(4);
    const Bytes conditions = Pattern(InfoReceiveSize);
    set.ReceiveAt(0, conditions.data(), InfoReceiveSize);
    ASSERT_TRUE(set.Save(dir.file("datainfo.mkw").c_str()));
    Bytes body(pcbuffer::kInfoBodySize, 0);
    std::copy(conditions.begin(), conditions.end(), body.begin());
    EXPECT_EQ(read_file(dir.file("datainfo.mkw")), test::DataSetFile("MIRLOKE DATAINFO", 4, body));
    InfoSet other(1);
    EXPECT_TRUE(other.Load(dir.file("datainfo.mkw").c_str()));
    EXPECT_EQ(BodyOf(other, pcbuffer::kInfoBodySize), body);
    // A data-information file with only its header does not load.
    write_file(dir.file("head"), test::DataSetFile("MIRLOKE DATAINFO", 4, {}));
    EXPECT_FALSE(other.Load(dir.file("head").c_str()));
}

}  // namespace
}  // namespace commlib
