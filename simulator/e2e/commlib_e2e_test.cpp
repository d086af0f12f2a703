// commlib against the simulated analyzer, end to end over a pseudo-terminal:
// every model in packet mode, a text-only firmware in text mode, data sets
// both ways, the screen, keys and a measurement.
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "commlib/remote.h"
#include "sets/data_store.h"
#include "simulator/pty_server.h"
#include "testing/notification_log.h"

namespace simulator {
namespace {

using namespace std::chrono_literals;

testing_util::NotificationLog notes;
std::atomic<int> stop_reason{-1};  // with the last ReqGetStopReason done

int record(int code, int status, void* data) {
    notes.record(code, status, [&] {
        if (code == ReqGetStopReason && status == StatusDone && data) stop_reason = *static_cast<int*>(data);
    });
    return 1;
}

// The status of the next notification with this code; -1000 when none came in time.
int await(int code) { return notes.take(code, 15s); }

class Connected {
public:
    explicit Connected(const AnalyzerOptions& o, int keys_fd = -1)
        : server_(o), serving_([this, keys_fd] { server_.run(stop_, keys_fd); }) {
        notes.clear();
        CreateMirlokeRemote(&remote_);
        port_ = {server_.slave_path().c_str(), 115200, 0, 0};
        remote_->Initialize(nullptr, record, &port_, nullptr);
    }
    ~Connected() {
        remote_->Close();
        remote_->Release();
        stop_ = true;
        serving_.join();
    }
    Remote& remote() { return *remote_; }
    int request(int code, int param = 0) {
        if (remote_->Request(code, param, 0) != 1) return -2000;
        return await(code);
    }

private:
    PtyServer server_;
    std::atomic<bool> stop_{false};
    std::thread serving_;
    Remote* remote_ = nullptr;
    PortSettings port_{};
};

std::string model_of(Remote& r) {
    char name[64] = {};
    r.GetModelName(name, sizeof name);
    return name;
}

TEST(CommlibEndToEnd, EveryModelConnectsInPacketMode) {
    for (Model m : {Model::Rv7010, Model::Rv7020, Model::Rv7030}) {
        AnalyzerOptions o;
        o.model = m;
        Connected c(o);
        ASSERT_EQ(c.remote().Open(), 0);
        ASSERT_EQ(c.request(ReqConnect), StatusDone) << model_name(m);
        EXPECT_EQ(c.remote().GetLinkMode(), 2);
        EXPECT_EQ(model_of(c.remote()), model_name(m));
        EXPECT_EQ(c.remote().GetVersion(), 0x105 << 12);
        EXPECT_EQ(c.remote().GetStatus() & 0x100, 0);
        ASSERT_EQ(c.request(ReqGetSetup), StatusDone);
        const auto* setup = static_cast<const std::uint8_t*>(c.remote().GetSetupData());
        ASSERT_NE(setup, nullptr);
        const auto expected = default_setup(m, LineMode::Hdlc);
        EXPECT_EQ(std::vector<std::uint8_t>(setup, setup + 910), expected);
        EXPECT_EQ(c.request(ReqGetProgram), m == Model::Rv7030 ? StatusDone : StatusNotAvailable);
        EXPECT_EQ(c.request(ReqDisconnect), StatusDone);
    }
}

TEST(CommlibEndToEnd, TextOnlyFirmwareConnectsInTextMode) {
    AnalyzerOptions o;
    o.model = Model::Rv7010;
    o.text_only = true;
    Connected c(o);
    ASSERT_EQ(c.remote().Open(), 0);
    ASSERT_EQ(c.request(ReqConnect), StatusDone);
    EXPECT_EQ(c.remote().GetLinkMode(), 1);
    EXPECT_EQ(model_of(c.remote()), "RV-7010");
    ASSERT_EQ(c.request(ReqGetTable), StatusDone);
    EXPECT_NE(c.remote().GetTableData(), nullptr);
    EXPECT_EQ(c.request(ReqGetScreen), StatusNotAvailable);
    EXPECT_EQ(c.request(ReqKey, 19), StatusDone);
    EXPECT_EQ(c.request(ReqDisconnect), StatusDone);
}

TEST(CommlibEndToEnd, HexBlocksReadLikeBinaryOnes) {
    AnalyzerOptions o;
    o.model = Model::Rv7030;
    o.text_only = true;
    o.hex_blocks = true;
    Connected c(o);
    ASSERT_EQ(c.remote().Open(), 0);
    ASSERT_EQ(c.request(ReqConnect), StatusDone);
    ASSERT_EQ(c.request(ReqGetProgram), StatusDone);
    const auto* program = static_cast<const std::uint8_t*>(c.remote().GetProgramData());
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(program[16], 11);  // the default program's STOP step
    ASSERT_EQ(c.request(ReqGetSetup), StatusDone);
    const auto* setup = static_cast<const std::uint8_t*>(c.remote().GetSetupData());
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(std::vector<std::uint8_t>(setup, setup + 910), default_setup(o.model, LineMode::Hdlc));
}

TEST(CommlibEndToEnd, SetupPutInBothDialectsComesBack) {
    for (bool text_only : {false, true}) {
        AnalyzerOptions o;
        o.text_only = text_only;
        Connected c(o);
        ASSERT_EQ(c.remote().Open(), 0);
        ASSERT_EQ(c.request(ReqConnect), StatusDone);
        ASSERT_EQ(c.request(ReqGetSetup), StatusDone);
        auto* setup = static_cast<std::uint8_t*>(c.remote().GetSetupData());
        ASSERT_NE(setup, nullptr);
        setup[1] = 4;  // the settings tool edits the body in place
        setup[880] = 36;
        ASSERT_EQ(c.request(ReqPutSetup), StatusDone);
        ASSERT_EQ(c.request(ReqGetSetup), StatusDone);
        setup = static_cast<std::uint8_t*>(c.remote().GetSetupData());
        ASSERT_NE(setup, nullptr);
        EXPECT_EQ(setup[1], 4);
        EXPECT_EQ(setup[880], 36);
    }
}

TEST(CommlibEndToEnd, ScreenFollowsTheKeys) {
    Connected c(AnalyzerOptions{});
    ASSERT_EQ(c.remote().Open(), 0);
    ASSERT_EQ(c.request(ReqConnect), StatusDone);
    ASSERT_EQ(c.request(ReqGetScreen), StatusDone);
    const auto* bits = static_cast<const std::uint8_t*>(c.remote().GetScreenBits());
    ASSERT_NE(bits, nullptr);
    const std::vector<std::uint8_t> before(bits, bits + 2560);
    EXPECT_EQ(c.request(ReqKey, 19), StatusDone);
    ASSERT_EQ(c.request(ReqGetScreen), StatusDone);
    bits = static_cast<const std::uint8_t*>(c.remote().GetScreenBits());
    EXPECT_NE(std::vector<std::uint8_t>(bits, bits + 2560), before);
}

TEST(CommlibEndToEnd, MeasurementStartsReportsAndStops) {
    AnalyzerOptions o;
    o.records_per_second = 5000;
    Connected c(o);
    ASSERT_EQ(c.remote().Open(), 0);
    ASSERT_EQ(c.request(ReqConnect), StatusDone);
    ASSERT_EQ(c.request(ReqMeasure, 1), StatusDone);
    EXPECT_EQ(await(NtfyMeasureState), 1);
    EXPECT_EQ(c.request(ReqMeasure, 0), StatusDone);
    EXPECT_EQ(await(NtfyMeasureState), 0);
    EXPECT_EQ(c.request(ReqGetStopReason), StatusDone);
}

TEST(CommlibEndToEnd, AnalyzerAlreadyMeasuringShowsInTheStatus) {
    AnalyzerOptions o;
    o.faults.measuring_at_connect = true;
    Connected c(o);
    ASSERT_EQ(c.remote().Open(), 0);
    ASSERT_EQ(c.request(ReqConnect), StatusDone);
    EXPECT_NE(c.remote().GetStatus() & 0x100, 0);
}

TEST(CommlibEndToEnd, RefusedStartAndItsReason) {
    AnalyzerOptions o;
    o.faults.refuse_start = 9;
    Connected c(o);
    ASSERT_EQ(c.remote().Open(), 0);
    ASSERT_EQ(c.request(ReqConnect), StatusDone);
    EXPECT_EQ(c.request(ReqMeasure, 1), StatusRefused);
    EXPECT_EQ(c.request(ReqGetStopReason), StatusDone);
    EXPECT_EQ(stop_reason.load(), 9);
}

TEST(CommlibEndToEnd, DamagedOrLostAnswersAreRecoveredByRetries) {
    AnalyzerOptions o;
    o.faults.corrupt_frames = {1};
    o.faults.drop_frames = {2};
    Connected c(o);
    ASSERT_EQ(c.remote().Open(), 0);
    EXPECT_EQ(c.request(ReqConnect), StatusDone);
    EXPECT_EQ(c.remote().GetLinkMode(), 2);
    EXPECT_EQ(model_of(c.remote()), "RV-7020");
}

TEST(CommlibEndToEnd, AnalyzerDyingDuringATransferEndsItWithNoAnswer) {
    AnalyzerOptions o;
    o.faults.silent_after_frames = 2;  // the connect answer and the subscription answer
    Connected c(o);
    ASSERT_EQ(c.remote().Open(), 0);
    ASSERT_EQ(c.request(ReqConnect), StatusDone);
    EXPECT_EQ(c.request(ReqGetSetup), StatusNoAnswer);
}

TEST(CommlibEndToEnd, AnalyzerLeftInPacketModeIsBroughtBack) {
    Connected c(AnalyzerOptions{});
    ASSERT_EQ(c.remote().Open(), 0);
    ASSERT_EQ(c.request(ReqConnect), StatusDone);
    // The program ends without a disconnect; the analyzer stays in packet mode.
    c.remote().Close();
    ASSERT_EQ(c.remote().Open(), 0);
    // "###" goes unanswered, the packet-mode exit is taken, and the handshake starts again.
    EXPECT_EQ(c.request(ReqConnect), StatusDone);
    EXPECT_EQ(c.remote().GetLinkMode(), 2);
}

TEST(CommlibEndToEnd, PanelKeysReachTheApplication) {
    int keys[2];
    ASSERT_EQ(::pipe(keys), 0);
    {
        Connected c(AnalyzerOptions{}, keys[0]);
        ASSERT_EQ(c.remote().Open(), 0);
        ASSERT_EQ(c.request(ReqConnect), StatusDone);
        ASSERT_EQ(::write(keys[1], "ENTER\n", 6), 6);
        EXPECT_EQ(await(NtfyKey), 20);
    }
    ::close(keys[0]);
    ::close(keys[1]);
}

TEST(CommlibEndToEnd, MuteAnalyzerGivesNoAnswerInTime) {
    AnalyzerOptions o;
    o.faults.mute = true;
    Connected c(o);
    ASSERT_EQ(c.remote().Open(), 0);
    EXPECT_EQ(c.request(ReqConnect), StatusNoAnswer);
}

}  // namespace
}  // namespace simulator
