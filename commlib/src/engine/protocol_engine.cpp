// The engine's entry points (request, link event, tick, reset), its accessors
// and the small helpers every handler uses to send, notify and change state.
#include "engine/protocol_engine.h"

#include <vector>

#include "link/framing.h"

namespace commlib {

using namespace engine;

ProtocolEngine::ProtocolEngine(EngineOutput& out, std::unique_ptr<CaptureSink> capture)
    : out_(out), capture_(std::move(capture)) {}

ProtocolEngine::~ProtocolEngine() = default;

void ProtocolEngine::LinkEvent(int event, std::unique_ptr<LinkMessage> msg) {
    if (event == EvLineGone) return OnLineGone();
    HeardFromLine(event);
    Dispatch(event, msg.get());
}

void ProtocolEngine::Dispatch(int event, const LinkMessage* msg) {
    switch (RowOfState(Current()).group) {
    case Group::Idle:
    case Group::TextSession: return;
    case Group::Attention: return OnAttention(event);
    case Group::Switch: return OnSwitch(event);
    case Group::Identify: return OnIdentify(event);
    case Group::IdentLine: return OnIdentLine(event, msg);
    case Group::Packet: return OnPacketState(event, msg);
    case Group::Command: return OnCommand(event);
    case Group::GetFirst: return OnGetFirst(event, msg);
    case Group::GetReceive: return OnGetReceive(event, msg);
    case Group::PutFirst: return OnPutFirst(event);
    case Group::PutSend: return OnPutSend(event);
    }
}

void ProtocolEngine::Tick() {
    AutoConnectTick();
    ReplyTimerTick();
    SilenceTick();
    SupervisionTick();
    capture_->Tick();
}

void ProtocolEngine::Reset() {
    SetState(State::Idle);
    pending_ = 0;
    replyTimer_ = 0;
    txSequence_ = rxSequence_ = 0;
    for (auto& u : uploads_) u.offset = -1;
    modelName_.clear();
    version_ = 0;
    status_ = 0;
    stopReason_ = 0;
    retries_ = 0;
    supervision_ = 0;
    capture_->ResetCapture();
    live_.End();
    DiscardDataSets();
    out_.DiscardReceive();
}

int ProtocolEngine::LinkMode() const {
    const State s = Current();
    return s == State::Idle ? 0 : InPacketMode(s) ? 2 : 1;
}

void* ProtocolEngine::SetupData() { return sets_[0] ? sets_[0]->GetBody() : nullptr; }
void* ProtocolEngine::TableData() { return sets_[1] ? sets_[1]->GetBody() : nullptr; }
void* ProtocolEngine::ProgramData() { return sets_[2] ? sets_[2]->GetBody() : nullptr; }

const BitmapInfo* ProtocolEngine::ScreenInfo() const {
    auto* screen = static_cast<const ScreenSet*>(DataSetOf(Set::Screen));
    return screen ? screen->GetScreenInfo() : nullptr;
}

const void* ProtocolEngine::ScreenBits() const {
    auto* screen = static_cast<const ScreenSet*>(DataSetOf(Set::Screen));
    return screen ? screen->GetScreenBits() : nullptr;
}

void ProtocolEngine::ScanBufferFolder(const BufferSettings& buffer) { capture_->ScanFolder(buffer); }

void ProtocolEngine::SetState(State s) {
    // A new wait starts its own silence count.
    if (s != Current()) silentTicks_ = 0;
    state_.store(s, std::memory_order_relaxed);
}

void ProtocolEngine::Arm(int timer) {
    if (timer >= 0) replyTimer_ = timer;
}

void ProtocolEngine::SendText(std::string_view text, int timer) {
    out_.SendRaw(MakeMessage(FramingText, text));
    Arm(timer);
}

void ProtocolEngine::SendBlock(std::span<const std::uint8_t> data, int timer) {
    out_.SendRaw(MakeBinaryBlock(data));
    Arm(timer);
}

void ProtocolEngine::SendPacket(std::span<const std::uint8_t> packet, int timer) {
    auto msg = MakeMessage(FramingSyn, packet);
    // Kinds above "?" carry our sequence number in byte 1.
    if (msg->length >= 2 && msg->data[0] > '?') msg->data[1] = txSequence_++;
    out_.SendFrame(std::move(msg));
    Arm(timer);
}

void ProtocolEngine::SendRequest(std::uint8_t id, std::uint8_t sub, std::span<const std::uint8_t> args, int timer) {
    std::vector<std::uint8_t> p{'@', 0, id, sub};
    p.insert(p.end(), args.begin(), args.end());
    SendPacket(p, timer);
}

void ProtocolEngine::ApplyReset(std::uint8_t n) {
    if (n == 0 || n == 2) {
        replyTimer_ = 0;
        for (auto& u : uploads_) u.offset = -1;
    }
    if (n == 0 || n == 1) txSequence_ = rxSequence_ = 0;
    if (n == 0) supervision_ = 0;
}

void ProtocolEngine::SendReset(std::uint8_t n) {
    // The sender applies the reset to itself first.
    ApplyReset(n);
    const std::uint8_t p[] = {'0', n};
    SendPacket(p, TimerKeep);
}

int ProtocolEngine::Notify(int code, int status, void* data) { return out_.Notify(code, status, data); }

int ProtocolEngine::ConnectionCode() const { return RowOfState(Current()).automatic ? NtfyAutoConnected : ReqConnect; }

void ProtocolEngine::CreateDataSets() {
    sets_[0].reset(new SetupSet(modelCode_));
    sets_[1].reset(new TableSet(modelCode_));
    sets_[2].reset(new ProgramSet(modelCode_));
    sets_[3].reset(new Table3Set(modelCode_));
    sets_[4].reset(new InfoSet(modelCode_));
    sets_[5].reset(new ScreenSet(modelCode_));
}

void ProtocolEngine::DiscardDataSets() {
    for (auto& s : sets_) s.reset();
}

DataSet* ProtocolEngine::TransferSet(int row) const { return DataSetOf(Transfers[row].set); }

}  // namespace commlib
