// The analyzer command protocol as one pure state machine: requests, link
// events and the 200 ms tick go in; bytes to send, notifications, reader
// discards and capture calls come out through EngineOutput and CaptureSink.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "datasets/data_sets.h"
#include "engine/capture_sink.h"
#include "engine/engine.h"
#include "engine/engine_tables.h"
#include "engine/item_records.h"
#include "engine/live_tap.h"

namespace commlib {

// Runs on the protocol thread only, except state() (read by the reader) and
// the accessors (read by the application after a notification). The engine
// works with current(); state() gives its number to the reader.
class ProtocolEngine final : public Engine {
public:
    ProtocolEngine(EngineOutput& out, std::unique_ptr<CaptureSink> capture);
    ~ProtocolEngine() override;

    void request(int code, int param, std::intptr_t data) override;
    void linkEvent(int event, std::unique_ptr<LinkMessage> msg) override;
    void tick() override;
    void reset() override;
    void setLiveRecords(LiveRecordFn fn, void* context) override { live_.set(fn, context); }
    int state() const override { return static_cast<int>(current()); }
    engine::State current() const { return state_.load(std::memory_order_relaxed); }
    const char* modelName() const override { return modelName_.c_str(); }
    int version() const override { return version_; }
    int linkMode() const override;
    int status() const override { return static_cast<int>(status_); }
    void* setupData() override;
    void* tableData() override;
    void* programData() override;
    const BitmapInfo* screenInfo() const override;
    const void* screenBits() const override;
    void scanBufferFolder(const BufferSettings& buffer) override;

    // What the tests and the fuzzer look at.
    std::uint32_t pending() const { return pending_; }
    int retries() const { return retries_; }
    int replyTimer() const { return replyTimer_; }
    std::uint8_t txSequence() const { return txSequence_; }
    std::uint8_t rxSequence() const { return rxSequence_; }
    int autoCountdown() const { return autoCountdown_; }
    int supervision() const { return supervision_; }
    int modelCode() const { return modelCode_; }
    int stopReason() const { return stopReason_; }
    DataSet* dataSet(engine::Set which) const { return sets_[static_cast<int>(which)].get(); }
    int uploadOffset(int row) const { return uploads_[row].offset; }

private:
    struct Upload {
        std::uint8_t id = 0;
        int offset = -1;   // -1: no upload running
    };

    // protocol_engine.cpp: sending and small helpers
    void setState(engine::State s);
    void arm(int timer);
    void sendText(std::string_view text, int timer);
    void sendBlock(std::span<const std::uint8_t> data, int timer);
    void sendPacket(std::span<const std::uint8_t> packet, int timer);
    void sendRequest(std::uint8_t id, std::uint8_t sub, std::span<const std::uint8_t> args, int timer);
    void sendReset(std::uint8_t n);
    void applyReset(std::uint8_t n);
    int notify(int code, int status, void* data = nullptr);
    int connectionCode() const;
    void createDataSets();
    void discardDataSets();
    DataSet* transferSet(int row) const;

    // handshake.cpp
    void startHandshake(engine::State state);
    void onAttention(int event);
    void onSwitch(int event);
    void onIdentify(int event);
    void onIdentLine(int event, const LinkMessage* msg);
    void sendConnectQuery();
    void sendSubscription();
    void sendExit();
    void connectAnswer(bool accepted, std::span<const std::uint8_t> results);
    void subscriptionAnswer();
    void exitAnswer(bool accepted);
    void failConnection(int status);
    void applyQueryRecords(std::span<const std::uint8_t> results);

    // packet_dispatch.cpp
    void onPacketState(int event, const LinkMessage* msg);
    void onPacket(std::span<const std::uint8_t> p);
    void onRepeatRequest(std::uint8_t expected);
    void onAnswer(std::span<const std::uint8_t> p);
    void onRefusal(std::span<const std::uint8_t> p);
    void sessionEndAnswer(bool accepted);

    // requests.cpp
    void requestSession(int code, int param);
    void requestTransfer(int code, int param);
    void requestDisconnect();
    void requestMeasure(int param);
    void requestKey(int key);
    void requestStopReason();
    void sendKeyPacket(int key);

    // text_transfers.cpp
    void onCommand(int event);
    void onGetFirst(int event, const LinkMessage* msg);
    void onGetReceive(int event, const LinkMessage* msg);
    void onPutFirst(int event);
    void onPutSend(int event);
    void sendNextBlock(int row, int code);
    void endText(int code, int status);

    // packet_transfers.cpp
    void transferAnswer(int row, bool get, std::span<const std::uint8_t> p);
    void refuseTransfer(int row, bool get, int reason);
    void onDataPiece(std::span<const std::uint8_t> p);
    void onEndPacket(std::span<const std::uint8_t> p);
    void sendPiece(int row);
    void continueUploads();
    void measureAnswer(std::span<const std::uint8_t> results);
    void stopReasonAnswer(std::span<const std::uint8_t> results);

    // notifications.cpp
    void onItemNotification(std::uint16_t item, std::span<const std::uint8_t> value);
    void onStatusWord(std::uint32_t word);
    void onKeyItem(std::span<const std::uint8_t> value);

    // timers.cpp
    void autoConnectTick();
    void replyTimerTick();
    void silenceTick();
    void onSilence();
    void packetTimeout();
    void failPending(int status);

    // supervision.cpp
    void onLineGone();
    void startSupervision();
    void stopSupervision();
    void supervisionAnswer(bool accepted, std::span<const std::uint8_t> results);
    void supervisionTick();
    void heardFromLine(int event);

    void dispatch(int event, const LinkMessage* msg);

    EngineOutput& out_;
    std::unique_ptr<CaptureSink> capture_;
    LiveTap live_;   // the same words, to the application as they arrive

    std::atomic<engine::State> state_{engine::State::Idle};
    std::uint32_t pending_ = 0;
    int retries_ = 0;
    int replyTimer_ = 0;
    std::uint8_t txSequence_ = 0;
    std::uint8_t rxSequence_ = 0;
    int autoCountdown_ = 0;
    int silentTicks_ = 0;
    // Link supervision: the analyzer's value (0 = off) and the two countdowns.
    int supervision_ = 0;
    int keepAliveLeft_ = 0;
    int linkLossLeft_ = 0;

    int modelCode_ = 0;
    std::string modelName_;
    int version_ = 0;
    std::uint32_t status_ = 0;
    int stopReason_ = 0;

    std::array<Upload, engine::UploadCount> uploads_{};
    std::array<DataSetPtr<DataSet>, engine::SetCount> sets_{};
};

} // namespace commlib
