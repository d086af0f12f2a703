// The per-minute rows of a stats pass stay bounded: a few open rows take
// frames counted late at their own stamp, older rows leave in time order,
// what came before the first stamp joins its row, and the seconds of a
// long measurement are given up.
#include <gtest/gtest.h>

#include <vector>

#include "stats/bucket_rows.h"

namespace cli {
namespace {

TEST(StatsRows, OpenRowsTakeLateCountsAndLeaveInTimeOrder) {
    std::vector<BucketRow> out;
    RowWindow w(60, [&](const BucketRow& r) { out.push_back(r); });
    w.at(kNoTime, 0, 0).chars[0] += 3;  // before the first stamp
    ++w.at(125, 0x80, 0x80).frames;     // the first stamp's minute takes those
    ++w.at(600, 0, 0).chars[1];
    ++w.at(300, 0, 0).frames;  // late, between two open rows
    ++w.at(900, 0, 0).chars[1];
    ++w.at(1200, 0, 0).chars[1];  // a fifth row: the oldest leaves
    ASSERT_EQ(out.size(), 1u);
    ++w.at(61, 0, 0).frames;  // older than every open row: counts in the oldest
    w.flush();
    std::vector<StatTime> buckets;
    for (const BucketRow& r : out) buckets.push_back(r.bucket);
    EXPECT_EQ(buckets, (std::vector<StatTime>{120, 300, 600, 900, 1200}));
    EXPECT_EQ(out[0].chars[0], 3);
    EXPECT_EQ(out[0].frames, 1);
    EXPECT_EQ(out[1].frames, 2);
    EXPECT_EQ(out[2].chars[1] + out[3].chars[1] + out[4].chars[1], 3);

    SecondRows seconds;
    for (StatTime t = 0; t < SecondRows::kMaxSeconds; t += 100) seconds.add(BucketRow{t});
    EXPECT_TRUE(seconds.usable());
    seconds.add(BucketRow{SecondRows::kMaxSeconds});
    EXPECT_FALSE(seconds.usable());
    EXPECT_TRUE(seconds.rows().empty());
}

}  // namespace
}  // namespace cli
