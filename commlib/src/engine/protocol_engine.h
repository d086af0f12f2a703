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

// Runs on the protocol thread only, except StateNumber() (read by the reader) and
// the accessors (read by the application after a notification). The engine
// works with Current(); StateNumber() gives its number to the reader.
class ProtocolEngine final : public Engine {
public:
    ProtocolEngine(EngineOutput& out, std::unique_ptr<CaptureSink> capture);
    ~ProtocolEngine() override;

    void Request(int code, int param, std::intptr_t data) override;
    void LinkEvent(int event, std::unique_ptr<LinkMessage> msg) override;
    void Tick() override;
    void Reset() override;
    void SetLiveRecords(LiveRecordFn fn, void* context) override { live_.Set(fn, context); }
    int StateNumber() const override { return static_cast<int>(Current()); }
    engine::State Current() const { return state_.load(std::memory_order_relaxed); }
    const char* ModelName() const override { return modelName_.c_str(); }
    int Version() const override { return version_; }
    int LinkMode() const override;
    int Status() const override { return static_cast<int>(status_); }
    void* SetupData() override;
    void* TableData() override;
    void* ProgramData() override;
    const BitmapInfo* ScreenInfo() const override;
    const void* ScreenBits() const override;
    void ScanBufferFolder(const BufferSettings& buffer) override;
    void SetCaptureOptions(const CaptureOptions& options) override { capture_->SetOptions(options); }

    // What the engine tests, the fuzzer and the end-to-end tests look at where
    // nothing outside shows it (see engine_harness.h); the engine uses DataSetOf too.
    int ReplyTimer() const { return replyTimer_; }
    std::uint8_t RxSequence() const { return rxSequence_; }
    DataSet* DataSetOf(engine::Set which) const { return sets_[static_cast<int>(which)].get(); }

private:
    struct Upload {
        std::uint8_t id = 0;
        int offset = -1;  // -1: no upload running
    };

    // protocol_engine.cpp: sending and small helpers
    void SetState(engine::State s);
    void Arm(int timer);
    void SendText(std::string_view text, int timer);
    void SendBlock(std::span<const std::uint8_t> data, int timer);
    void SendPacket(std::span<const std::uint8_t> packet, int timer);
    void SendRequest(std::uint8_t id, std::uint8_t sub, std::span<const std::uint8_t> args, int timer);
    void SendReset(std::uint8_t n);
    void ApplyReset(std::uint8_t n);
    int Notify(int code, int status, void* data = nullptr);
    int ConnectionCode() const;
    void CreateDataSets();
    void DiscardDataSets();
    DataSet* TransferSet(int row) const;

    // handshake.cpp
    void StartHandshake(engine::State state);
    void OnAttention(int event);
    void OnSwitch(int event);
    void OnIdentify(int event);
    void OnIdentLine(int event, const LinkMessage* msg);
    void SendConnectQuery();
    void SendSubscription();
    void SendExit();
    void ConnectAnswer(bool accepted, std::span<const std::uint8_t> results);
    void SubscriptionAnswer();
    void ExitAnswer(bool accepted);
    void FailConnection(int status);
    void ApplyQueryRecords(std::span<const std::uint8_t> results);

    // packet_dispatch.cpp
    void OnPacketState(int event, const LinkMessage* msg);
    void OnPacket(std::span<const std::uint8_t> p);
    void OnRepeatRequest(std::uint8_t expected);
    void OnAnswer(std::span<const std::uint8_t> p);
    void OnRefusal(std::span<const std::uint8_t> p);
    void SessionEndAnswer(bool accepted);

    // requests.cpp
    void RequestSession(int code, int param);
    void RequestTransfer(int code, int param);
    void RequestDisconnect();
    void RequestMeasure(int param);
    void RequestKey(int key);
    void RequestStopReason();
    void SendKeyPacket(int key);

    // text_transfers.cpp
    void OnCommand(int event);
    void OnGetFirst(int event, const LinkMessage* msg);
    void OnGetReceive(int event, const LinkMessage* msg);
    void OnPutFirst(int event);
    void EndFirstStep(int event, int code);
    void OnPutSend(int event);
    void SendNextBlock(int row, int code);
    void EndText(int code, int status);

    // packet_transfers.cpp
    void TransferAnswer(int row, bool get, std::span<const std::uint8_t> p);
    void RefuseTransfer(int row, bool get, int reason);
    void OnDataPiece(std::span<const std::uint8_t> p);
    void OnEndPacket(std::span<const std::uint8_t> p);
    void SendPiece(int row);
    void ContinueUploads();
    void MeasureAnswer(std::span<const std::uint8_t> results);
    void StopReasonAnswer(std::span<const std::uint8_t> results);

    // notifications.cpp
    void OnItemNotification(std::uint16_t item, std::span<const std::uint8_t> value);
    void OnStatusWord(std::uint32_t word);
    void OnKeyItem(std::span<const std::uint8_t> value);

    // timers.cpp
    void AutoConnectTick();
    void ReplyTimerTick();
    void SilenceTick();
    void OnSilence();
    void PacketTimeout();
    void FailPending(int status);

    // supervision.cpp
    void OnLineGone();
    void StartSupervision();
    void StopSupervision();
    void SupervisionAnswer(bool accepted, std::span<const std::uint8_t> results);
    void SupervisionTick();
    void HeardFromLine(int event);

    void Dispatch(int event, const LinkMessage* msg);

    EngineOutput& out_;
    std::unique_ptr<CaptureSink> capture_;
    LiveTap live_;  // the same words, to the application as they arrive

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

}  // namespace commlib
