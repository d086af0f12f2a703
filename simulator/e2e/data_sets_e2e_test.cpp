// Every data set both ways through commlib's real threads over a pseudo-terminal,
// in packet mode and in text mode: what the PC gets is byte for byte what the
// analyzer holds, and what the PC puts is byte for byte what the analyzer then holds.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/protocol_engine.h"
#include "remote/remote_impl.h"
#include "simulator/pty_server.h"
#include "testing/notification_log.h"

namespace simulator {
namespace {

using namespace std::chrono_literals;
using commlib::engine::Set;

testing_util::NotificationLog notes;

int record(int code, int status, void*) {
    notes.record(code, status);
    return 1;
}

// The status of the next notification with this code; -1000 when none came in time.
int await(int code) { return notes.take(code, 30s); }

// The library object itself, so the test can read the data sets the engine
// holds (the third table has no accessor of its own).
class Session {
public:
    explicit Session(const AnalyzerOptions& o) : server(o), serving_([this] { server.run(stop_); }) {
        notes.clear();
        port_ = {server.slave_path().c_str(), 115200, 0, 0};
        ok_ = remote_.Initialize(nullptr, record, &port_, nullptr) == 0 && remote_.Open() == 0;
    }
    ~Session() {
        remote_.Close();
        stop_ = true;
        serving_.join();
    }
    bool opened() const { return ok_; }
    int request(int code, int param = 0) {
        if (remote_.Request(code, param, 0) != 1) return -2000;
        return await(code);
    }
    int link_mode() { return remote_.GetLinkMode(); }
    const std::uint8_t* screen_bits() { return static_cast<const std::uint8_t*>(remote_.GetScreenBits()); }
    commlib::DataSet* data_set(Set which) {
        auto* engine = dynamic_cast<commlib::ProtocolEngine*>(&remote_.GetEngine());
        return engine ? engine->DataSetOf(which) : nullptr;
    }

    PtyServer server;

private:
    std::atomic<bool> stop_{false};
    std::thread serving_;
    commlib::RemoteImpl remote_;
    PortSettings port_{};
    bool ok_ = false;
};

// Every byte a data set holds, read the way a put hands it out.
std::vector<std::uint8_t> held_bytes(commlib::DataSet* set) {
    std::vector<std::uint8_t> out;
    std::uint8_t piece[1008];
    for (int offset = 0;;) {
        int n = sizeof piece;
        const int left = set->ReadAt(offset, piece, &n);
        out.insert(out.end(), piece, piece + n);
        offset += n;
        if (left <= 0 || n <= 0) return out;
    }
}

// What the analyzer holds once it holds `expected`, or after 10 s whatever it holds then.
std::vector<std::uint8_t> analyzer_holds(const PtyServer& server, std::uint16_t item,
                                         const std::vector<std::uint8_t>& expected) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    for (;;) {
        std::vector<std::uint8_t> held = server.data_set(item);
        if (held == expected || std::chrono::steady_clock::now() > deadline) return held;
        std::this_thread::sleep_for(5ms);
    }
}

struct SetRow {
    Set set;
    int get, put;
    std::uint16_t item;
    std::size_t edit;  // a body byte the test changes before the put (from the end when past the size)
    const char* name;
};
constexpr SetRow kSets[] = {
    {Set::Setup, ReqGetSetup, ReqPutSetup, 0x2000, 880, "setup"},
    {Set::Table, ReqGetTable, ReqPutTable, 0x6000, SIZE_MAX, "table"},
    {Set::Program, ReqGetProgram, ReqPutProgram, 0x7000, 40, "program"},
    {Set::Table3, ReqGetTable3, ReqPutTable3, 0x8000, 100, "third table"},
};

void get_and_put_every_set(bool text_only) {
    AnalyzerOptions o;
    o.model = Model::Rv7030;  // the one model with all four
    o.text_only = text_only;
    Session s(o);
    ASSERT_TRUE(s.opened());
    ASSERT_EQ(s.request(ReqConnect), StatusDone);
    ASSERT_EQ(s.link_mode(), text_only ? 1 : 2);
    for (const SetRow& row : kSets) {
        SCOPED_TRACE(row.name);
        const std::vector<std::uint8_t> analyzer = s.server.data_set(row.item);
        ASSERT_GT(analyzer.size(), 68u);
        ASSERT_EQ(s.request(row.get), StatusDone);
        commlib::DataSet* set = s.data_set(row.set);
        ASSERT_NE(set, nullptr);
        EXPECT_EQ(held_bytes(set), analyzer);

        // The settings tool edits the body in place and sends it back.
        auto* body = static_cast<std::uint8_t*>(set->GetBody());
        ASSERT_NE(body, nullptr);
        const std::size_t at = row.edit < analyzer.size() ? row.edit : analyzer.size() - 1;
        body[at] = static_cast<std::uint8_t>(body[at] + 1);
        std::vector<std::uint8_t> edited = analyzer;
        edited[at] = body[at];
        ASSERT_EQ(s.request(row.put), StatusDone);
        // In text mode the PC is done once its "!" is on the line; the analyzer
        // takes the set when it reads it, a moment later.
        EXPECT_EQ(analyzer_holds(s.server, row.item, edited), edited);
        EXPECT_EQ(held_bytes(set), edited);
    }
    EXPECT_EQ(s.request(ReqDisconnect), StatusDone);
}

TEST(DataSetsEndToEnd, EverySetGetsAndPutsUnchangedInPacketMode) { get_and_put_every_set(false); }

TEST(DataSetsEndToEnd, EverySetGetsAndPutsUnchangedInTextMode) { get_and_put_every_set(true); }

// The analyzer's 64 rows of 30 bytes as the screen image holds them: upright
// from output row 8 (counted from the bottom, 32 bytes each), inverted, from byte 1.
std::vector<std::uint8_t> analyzer_rows_in(const std::uint8_t* bits) {
    std::vector<std::uint8_t> rows(64 * 30);
    for (int r = 0; r < 64; ++r)
        for (int i = 0; i < 30; ++i)
            rows[static_cast<std::size_t>(r * 30 + i)] = static_cast<std::uint8_t>(~bits[(8 + 63 - r) * 32 + 1 + i]);
    return rows;
}

TEST(DataSetsEndToEnd, ScreenArrivesAsTheAnalyzerShowsItBeforeAndAfterAKey) {
    Session s(AnalyzerOptions{});
    ASSERT_TRUE(s.opened());
    ASSERT_EQ(s.request(ReqConnect), StatusDone);
    for (int key : {0, 19}) {  // 19 moves the menu down
        if (key != 0) {
            ASSERT_EQ(s.request(ReqKey, key), StatusDone);
        }
        // The key packet goes ahead of the screen request; once the screen is
        // here, the analyzer has acted on the key and its screen stands still.
        ASSERT_EQ(s.request(ReqGetScreen), StatusDone);
        const std::vector<std::uint8_t> shown = s.server.data_set(0xF000);
        ASSERT_EQ(shown.size(), 1920u);
        ASSERT_NE(s.screen_bits(), nullptr);
        EXPECT_EQ(analyzer_rows_in(s.screen_bits()), shown) << "after key " << key;
    }
}

TEST(DataSetsEndToEnd, TextModeMeasurementStartsAndStops) {
    AnalyzerOptions o;
    o.text_only = true;
    Session s(o);
    ASSERT_TRUE(s.opened());
    ASSERT_EQ(s.request(ReqConnect), StatusDone);
    ASSERT_EQ(s.link_mode(), 1);
    EXPECT_EQ(s.request(ReqMeasure, 1), StatusDone);
    EXPECT_EQ(s.request(ReqMeasure, 0), StatusDone);
    EXPECT_EQ(s.request(ReqDisconnect), StatusDone);
}

}  // namespace
}  // namespace simulator
