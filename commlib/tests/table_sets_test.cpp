// The table and third-table sets: a size that the received head decides,
// pieces cut at the head, and hostile counts and lengths that must stay
// inside the body or leave the set incomplete.
#include <gtest/gtest.h>

#include "data_set_test_util.h"
#include "datasets/data_sets.h"
#include "testing/temp_dir.h"

namespace commlib {
namespace {

using test::Bytes;
using test::Pattern;
using testing_util::read_file;
using testing_util::write_file;

Bytes TableBody(int cells, int bytesAfterHead) {
    Bytes b = Pattern(TableHeadSize + bytesAfterHead, 4);
    test::PutInt16(b, TableCountOffset, cells);
    return b;
}

std::vector<int> PieceSizes(DataSet& set, int request, Bytes* sent = nullptr) {
    set.ResetSend();
    std::vector<int> sizes;
    Bytes piece(static_cast<std::size_t>(request));
    for (int left = 1; left > 0 && sizes.size() < 1000;) {
        int n = request;
        left = set.ReadNext(piece.data(), &n);
        sizes.push_back(n);
        if (sent) sent->insert(sent->end(), piece.begin(), piece.begin() + n);
    }
    return sizes;
}

TEST(TableSet, ThreeCellsCompleteAfter74BytesAndGoOutAs68Then6) {
    TableSet set(4);
    const Bytes body = TableBody(3, 6);
    EXPECT_EQ(set.Append(body.data(), 60), 8);  // still in the head
    EXPECT_EQ(set.Append(body.data() + 60, 8), 6);
    EXPECT_FALSE(set.IsComplete());
    EXPECT_EQ(set.Append(body.data() + 68, 6), 0);
    ASSERT_TRUE(set.IsComplete());
    Bytes sent;
    EXPECT_EQ(PieceSizes(set, 128, &sent), (std::vector<int>{68, 6}));
    EXPECT_EQ(sent, body);
    EXPECT_EQ(set.SizeInForce(), 74);
}

TEST(TableSet, LongTablesGoOutHeadFirstThenInFullPieces) {
    TableSet set(4);
    const Bytes body = TableBody(8192, 2 * 8192);
    EXPECT_EQ(set.ReceiveAt(0, body.data(), TableCapacity), 0);
    ASSERT_TRUE(set.IsComplete());
    Bytes sent;
    const auto sizes = PieceSizes(set, 1008, &sent);
    EXPECT_EQ(sizes.front(), 68);
    EXPECT_EQ(sizes[1], 1008);
    EXPECT_EQ(sent, body);
    // ReadAt (packet-mode pieces) is not cut at the head.
    int n = 1008;
    Bytes piece(1008);
    set.ReadAt(0, piece.data(), &n);
    EXPECT_EQ(n, 1008);
}

TEST(TableSet, HostileCountsStayInsideTheBody) {
    TableSet set(4);
    Bytes body = TableBody(0x7FFF, 2 * 8192);  // asks for 65,602 bytes
    body.resize(20000, 0xAB);
    EXPECT_GT(set.ReceiveAt(0, body.data(), 20000), 0);
    EXPECT_EQ(set.ReceivePosition(), TableCapacity);
    EXPECT_FALSE(set.IsComplete());  // can never complete
    EXPECT_EQ(set.SizeInForce(), TableCapacity);
    Bytes out(70000);
    int n = 70000;
    set.ReadAt(0, out.data(), &n);
    EXPECT_EQ(n, TableCapacity);
    EXPECT_GT(set.Append(body.data(), 100), 0);  // no room: nothing more is stored
    EXPECT_EQ(set.ReceivePosition(), TableCapacity);

    // A negative count needs only the head.
    Bytes negative = TableBody(-5, 0);
    EXPECT_LE(set.ReceiveAt(0, negative.data(), TableHeadSize), 0);
    EXPECT_TRUE(set.IsComplete());
    EXPECT_EQ(set.SizeInForce(), TableHeadSize);
    n = 1000;
    EXPECT_EQ(set.ReadAt(0, out.data(), &n), 0);
    EXPECT_EQ(n, TableHeadSize);
}

TEST(TableSet, SizeFollowsACountEditedInPlace) {
    TableSet set(4);
    const Bytes body = TableBody(10, 20);
    set.ReceiveAt(0, body.data(), 88);
    ASSERT_TRUE(set.IsComplete());
    auto* p = static_cast<std::uint8_t*>(set.GetBody());
    p[TableCountOffset] = 4;  // the table editor shrank the table
    EXPECT_EQ(PieceSizes(set, 128), (std::vector<int>{68, 8}));
}

TEST(TableSet, LoadNeedsTheWholeHeadAndEveryCell) {
    testing_util::TempDir dir;
    TableSet set(4);
    const Bytes body = TableBody(3, 6);
    write_file(dir.file("t"), test::DataSetFile("MIRLOKE TABLE   ", 4, body));
    ASSERT_TRUE(set.Load(dir.file("t").c_str()));
    EXPECT_EQ(Bytes(static_cast<std::uint8_t*>(set.GetBody()), static_cast<std::uint8_t*>(set.GetBody()) + 74), body);
    ASSERT_TRUE(set.Save(dir.file("again").c_str()));
    EXPECT_EQ(read_file(dir.file("again")), read_file(dir.file("t")));

    write_file(dir.file("cells"), test::DataSetFile("MIRLOKE TABLE   ", 4, TableBody(3, 5)));
    EXPECT_FALSE(set.Load(dir.file("cells").c_str()));
    EXPECT_FALSE(set.IsComplete());
    Bytes head = TableBody(0, 0);
    head.pop_back();
    write_file(dir.file("head"), test::DataSetFile("MIRLOKE TABLE   ", 4, head));
    EXPECT_FALSE(set.Load(dir.file("head").c_str()));
    // More cells than a table can hold never load, whatever the file length.
    write_file(dir.file("huge"), test::DataSetFile("MIRLOKE TABLE   ", 4, TableBody(9000, 18000)));
    EXPECT_FALSE(set.Load(dir.file("huge").c_str()));
    write_file(dir.file("setup"), test::DataSetFile("MIRLOKE SETUP   ", 4, body));
    EXPECT_FALSE(set.Load(dir.file("setup").c_str()));
}

Bytes Table3Fixed(std::int64_t extraLength) {
    Bytes b = Pattern(Table3FixedSize, 6);
    test::PutInt32(b, Table3ExtraLengthOffset, extraLength);
    return b;
}

TEST(Table3Set, ExtraLengthZeroCompletesWithTheFixedPart) {
    Table3Set set(2);
    const Bytes fixed = Table3Fixed(0);
    EXPECT_EQ(set.ReceiveAt(0, fixed.data(), 2000), 38);
    EXPECT_FALSE(set.IsComplete());
    EXPECT_EQ(set.Append(fixed.data() + 2000, 38), 0);
    EXPECT_TRUE(set.IsComplete());
    EXPECT_TRUE(set.Extra().empty());
    EXPECT_EQ(PieceSizes(set, 1008), (std::vector<int>{1008, 1008, 22}));
}

TEST(Table3Set, PiecesRunAcrossIntoTheExtraPart) {
    Table3Set set(2);
    Bytes all = Table3Fixed(300);
    const Bytes extra = Pattern(300, 8);
    all.insert(all.end(), extra.begin(), extra.end());
    // Text-mode lines of 128 bytes: line 16 crosses offset 2038.
    int missing = 0;
    for (int at = 0; at < 2338; at += 128) {
        EXPECT_FALSE(set.IsComplete());
        missing = set.Append(all.data() + at, std::min(128, 2338 - at));
    }
    EXPECT_EQ(missing, 0);
    ASSERT_TRUE(set.IsComplete());
    EXPECT_EQ(set.Extra(), extra);
    // Text-mode sending cuts at the fixed part; packet pieces read straight across.
    Bytes sent;
    const auto sizes = PieceSizes(set, 128, &sent);
    EXPECT_EQ(sizes[15], 118);
    EXPECT_EQ(sizes[16], 128);
    EXPECT_EQ(sent, all);
    Bytes piece(1008);
    int n = 1008;
    EXPECT_EQ(set.ReadAt(2016, piece.data(), &n), 0);
    EXPECT_EQ(n, 322);
    EXPECT_TRUE(std::equal(piece.begin(), piece.begin() + 322, all.begin() + 2016));
}

TEST(Table3Set, ABadExtraLengthAllocatesNothingAndNeverCompletes) {
    for (std::int64_t length : {std::int64_t{-1}, std::int64_t{Table3MaxExtra} + 1, std::int64_t{0x7FFFFFFF}}) {
        Table3Set set(2);
        const Bytes fixed = Table3Fixed(length);
        EXPECT_EQ(set.ReceiveAt(0, fixed.data(), Table3FixedSize), 0) << length;
        EXPECT_FALSE(set.IsComplete());
        EXPECT_TRUE(set.Extra().empty());
        EXPECT_EQ(set.Append(fixed.data(), 100), 0);
        EXPECT_FALSE(set.IsComplete());
        EXPECT_EQ(set.GetBody(), nullptr);
    }
}

TEST(Table3Set, ANewTransferDropsThePreviousExtraPart) {
    Table3Set set(2);
    Bytes all = Table3Fixed(10);
    all.resize(Table3FixedSize + 10, 0x5A);
    set.ReceiveAt(0, all.data(), Table3FixedSize + 10);
    ASSERT_TRUE(set.IsComplete());
    set.ReceiveAt(0, all.data(), 100);
    EXPECT_FALSE(set.IsComplete());
    EXPECT_TRUE(set.Extra().empty());
    int n = 5000;
    Bytes out(5000);
    set.ReadAt(0, out.data(), &n);
    EXPECT_EQ(n, Table3FixedSize);  // nothing of the old extra part is read
}

TEST(Table3Set, SavesAndLoadsBothParts) {
    testing_util::TempDir dir;
    Table3Set set(2);
    Bytes all = Table3Fixed(5);
    for (std::uint8_t b : {1, 2, 3, 4, 5}) all.push_back(b);
    set.ReceiveAt(0, all.data(), static_cast<int>(all.size()));
    ASSERT_TRUE(set.Save(dir.file("t3").c_str()));
    EXPECT_EQ(read_file(dir.file("t3")), test::DataSetFile("MIRLOKE TABLE   ", 2, all));
    Table3Set other(2);
    ASSERT_TRUE(other.Load(dir.file("t3").c_str()));
    EXPECT_EQ(other.Extra(), Bytes({1, 2, 3, 4, 5}));

    const Bytes shortExtra(all.begin(), all.end() - 1);
    write_file(dir.file("short"), test::DataSetFile("MIRLOKE TABLE   ", 2, shortExtra));
    EXPECT_FALSE(other.Load(dir.file("short").c_str()));
    EXPECT_FALSE(other.IsComplete());
    for (std::int64_t length : {std::int64_t{-2}, std::int64_t{0x7FFFFFFF}}) {
        write_file(dir.file("bad"), test::DataSetFile("MIRLOKE TABLE   ", 2, Table3Fixed(length)));
        EXPECT_FALSE(other.Load(dir.file("bad").c_str())) << length;
    }
}

}  // namespace
}  // namespace commlib
