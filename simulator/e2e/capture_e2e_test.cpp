// Measurements captured end to end: commlib on one side of a pseudo-terminal,
// the simulated analyzer on the other, measuring a known seed for several
// blocks and losing every n-th data item on the way. The block files must
// hold exactly the seed's record words in order, with a gap mark for each
// lost item standing for exactly the units that were skipped.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "commlib/remote.h"
#include "sets/data_store.h"
#include "simulator/pty_server.h"
#include "simulator/traffic.h"
#include "testing/notification_log.h"
#include "testing/temp_dir.h"

namespace simulator {
namespace {

using namespace std::chrono_literals;
constexpr std::size_t kBlockWords = 262'144;

// What the callback saw; it runs on commlib's protocol thread. The range and
// the loss count are kept under the log's lock.
testing_util::NotificationLog notes;
std::array<int, 3> range{};  // last NtfyBlocks
int lost = 0;                // last NtfyLost

int record(int code, int status, void* data) {
    notes.record(code, status, [&] {
        if (code == NtfyBlocks) {
            const int* r = static_cast<const int*>(data);
            range = {r[0], r[1], r[2]};
        } else if (code == NtfyLost) {
            lost = static_cast<int>(reinterpret_cast<std::intptr_t>(data));
        }
    });
    return 1;
}

template <class Pred>
bool wait_until(Pred pred, std::chrono::seconds limit = 120s) {
    return notes.wait_until(pred, limit);
}

// The status of the next notification with this code (-1000 when none came).
int await(int code) { return notes.take(code, 30s); }

std::vector<std::uint32_t> read_words(const std::string& path) {
    const auto bytes = testing_util::read_file(path);
    std::vector<std::uint32_t> words(bytes.size() / 4);
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] =
            bytes[4 * i] | bytes[4 * i + 1] << 8 | bytes[4 * i + 2] << 16 | std::uint32_t{bytes[4 * i + 3]} << 24;
    return words;
}

bool is_gap_mark(std::uint32_t w) { return (w & 0xFFFF) == 0xFF80; }

struct Capture {
    std::vector<std::uint32_t> words;  // the blocks first..next-1, in order
    std::array<int, 3> range{};
    int lost = 0;
};

// Runs a measurement until the reported range satisfies `enough`, then stops it.
template <class Enough>
Capture measure(const AnalyzerOptions& options, int max_blocks, bool ring, Enough enough) {
    {
        notes.clear([] {
            range = {};
            lost = 0;
        });
    }
    testing_util::TempDir dir;
    PtyServer server(options);
    std::atomic<bool> stop{false};
    std::thread serving([&] { server.run(stop); });
    Remote* remote = nullptr;
    CreateMirlokeRemote(&remote);
    const PortSettings port{server.slave_path().c_str(), 115200, 0, 0};
    const BufferSettings buffer{dir.path().c_str(), max_blocks, 0, static_cast<std::uint8_t>(ring)};
    Capture result;
    if (remote->Initialize(nullptr, record, &port, &buffer) == 0 && remote->Open() == 0 &&
        remote->Request(ReqConnect, 0, 0) == 1 && await(ReqConnect) == StatusDone &&
        remote->Request(ReqMeasure, 1, 0) == 1 && await(ReqMeasure) == StatusDone) {
        EXPECT_EQ(await(NtfyMeasureState), 1);
        EXPECT_TRUE(wait_until([&] { return enough(range); })) << "the buffer never filled";
        EXPECT_EQ(remote->Request(ReqMeasure, 0, 0), 1);
        EXPECT_EQ(await(NtfyMeasureState), 0);
        EXPECT_EQ(remote->Request(ReqDisconnect, 0, 0), 1);
        EXPECT_EQ(await(ReqDisconnect), StatusDone);
    } else {
        ADD_FAILURE() << "no measurement started";
    }
    remote->Close();
    remote->Release();
    stop = true;
    serving.join();
    notes.look([&] {
        result.range = range;
        result.lost = lost;
    });
    for (int b = result.range[0]; b < result.range[1]; ++b) {
        char name[16];
        std::snprintf(name, sizeof name, "%08d.mkw", b);
        const auto words = read_words(dir.file(name));
        result.words.insert(result.words.end(), words.begin(), words.end());
    }
    EXPECT_TRUE(std::filesystem::exists(dir.file("datainfo.mkw")));
    return result;
}

// Walks the stored words against the seed's words from `at`: a gap mark skips
// exactly its count of units (one word each); anything else must be the next word.
// Returns the number of gap marks, or -1 after reporting the first mismatch.
int walk(const std::vector<std::uint32_t>& stored, std::size_t from, const std::vector<std::uint32_t>& expected,
         std::size_t at) {
    int gaps = 0;
    for (std::size_t i = from; i < stored.size(); ++i) {
        if (is_gap_mark(stored[i])) {
            at += stored[i] >> 16;
            ++gaps;
            continue;
        }
        if (at >= expected.size() || stored[i] != expected[at]) {
            ADD_FAILURE() << "stored word " << i << " differs from the seed's word " << at;
            return -1;
        }
        ++at;
    }
    return gaps;
}

LineConditions conditions_of(const AnalyzerOptions& o) {
    return LineConditions::from_setup(default_setup(o.model, o.line_mode.value_or(LineMode::Hdlc)), o.protocol);
}

TEST(CaptureEndToEnd, FlatBufferHoldsTheSeedsRecordsWithGapMarks) {
    AnalyzerOptions o;
    o.seed = 20261207;
    o.records_per_second = 0;
    o.faults.lose_every_items = 7;
    const Capture c = measure(o, 3, false, [](const std::array<int, 3>& r) { return r[2] >= 3; });
    // Flat with three blocks: three full blocks and nothing after them.
    EXPECT_EQ(c.range, (std::array<int, 3>{0, 3, 3}));
    ASSERT_EQ(c.words.size(), 3 * kBlockWords);
    const auto expected = generate_records(conditions_of(o), o.seed, 4 * kBlockWords);
    const int gaps = walk(c.words, 0, expected, 0);
    EXPECT_GT(gaps, 10);
    // The loss count goes on after storing ended, so it is at least the marks stored.
    EXPECT_GE(c.lost, gaps);
}

TEST(CaptureEndToEnd, RingBufferKeepsTheNewestBlocksInOrder) {
    AnalyzerOptions o;
    o.seed = 77;
    o.records_per_second = 0;
    o.faults.lose_every_items = 5;
    o.line_mode = LineMode::Async;
    const Capture c = measure(o, 3, true, [](const std::array<int, 3>& r) { return r[1] >= 5; });
    ASSERT_GE(c.range[1], 6);
    EXPECT_EQ(c.range[2], 3);
    EXPECT_EQ(c.range[0], c.range[1] - 3);
    ASSERT_GT(c.words.size(), 2 * kBlockWords);
    // The blocks before the first were given up, so find where the first one
    // starts in the seed's words: after at least its number of blocks of words.
    const auto expected = generate_records(conditions_of(o), o.seed, (c.range[1] + 3) * kBlockWords);
    std::size_t from = 0;
    while (from < c.words.size() && is_gap_mark(c.words[from])) ++from;
    const std::vector<std::uint32_t> probe(c.words.begin() + from, c.words.begin() + from + 16);
    ASSERT_EQ(std::count_if(probe.begin(), probe.end(), is_gap_mark), 0);
    std::size_t at = static_cast<std::size_t>(c.range[0]) * kBlockWords;
    while (at + probe.size() <= expected.size() && !std::equal(probe.begin(), probe.end(), expected.begin() + at)) ++at;
    ASSERT_LT(at + probe.size(), expected.size()) << "the first block's words are not in the seed's stream";
    EXPECT_GT(walk(c.words, from, expected, at), 10);
}

}  // namespace
}  // namespace simulator
