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

void ProtocolEngine::linkEvent(int event, std::unique_ptr<LinkMessage> msg) {
    if (event == EvLineGone) return onLineGone();
    heardFromLine(event);
    dispatch(event, msg.get());
}

void ProtocolEngine::dispatch(int event, const LinkMessage* msg) {
    switch (stateRow(current()).group) {
    case Group::Idle:
    case Group::TextSession: return;
    case Group::Attention: return onAttention(event);
    case Group::Switch: return onSwitch(event);
    case Group::Identify: return onIdentify(event);
    case Group::IdentLine: return onIdentLine(event, msg);
    case Group::Packet: return onPacketState(event, msg);
    case Group::Command: return onCommand(event);
    case Group::GetFirst: return onGetFirst(event, msg);
    case Group::GetReceive: return onGetReceive(event, msg);
    case Group::PutFirst: return onPutFirst(event);
    case Group::PutSend: return onPutSend(event);
    }
}

void ProtocolEngine::tick() {
    autoConnectTick();
    replyTimerTick();
    silenceTick();
    supervisionTick();
    capture_->Tick();
}

void ProtocolEngine::reset() {
    setState(State::Idle);
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
    live_.end();
    discardDataSets();
    out_.discardReceive();
}

int ProtocolEngine::linkMode() const {
    const State s = current();
    return s == State::Idle ? 0 : inPacketMode(s) ? 2 : 1;
}

void* ProtocolEngine::setupData() { return sets_[0] ? sets_[0]->GetBody() : nullptr; }
void* ProtocolEngine::tableData() { return sets_[1] ? sets_[1]->GetBody() : nullptr; }
void* ProtocolEngine::programData() { return sets_[2] ? sets_[2]->GetBody() : nullptr; }

const BitmapInfo* ProtocolEngine::screenInfo() const {
    auto* screen = static_cast<const ScreenSet*>(dataSet(Set::Screen));
    return screen ? screen->GetScreenInfo() : nullptr;
}

const void* ProtocolEngine::screenBits() const {
    auto* screen = static_cast<const ScreenSet*>(dataSet(Set::Screen));
    return screen ? screen->GetScreenBits() : nullptr;
}

void ProtocolEngine::scanBufferFolder(const BufferSettings& buffer) { capture_->ScanFolder(buffer); }

void ProtocolEngine::setState(State s) {
    // A new wait starts its own silence count.
    if (s != current()) silentTicks_ = 0;
    state_.store(s, std::memory_order_relaxed);
}

void ProtocolEngine::arm(int timer) {
    if (timer >= 0) replyTimer_ = timer;
}

void ProtocolEngine::sendText(std::string_view text, int timer) {
    out_.sendRaw(makeMessage(FramingText, text));
    arm(timer);
}

void ProtocolEngine::sendBlock(std::span<const std::uint8_t> data, int timer) {
    out_.sendRaw(makeBinaryBlock(data));
    arm(timer);
}

void ProtocolEngine::sendPacket(std::span<const std::uint8_t> packet, int timer) {
    auto msg = makeMessage(FramingSyn, packet);
    // Kinds above "?" carry our sequence number in byte 1.
    if (msg->Length >= 2 && msg->Data[0] > '?') msg->Data[1] = txSequence_++;
    out_.sendFrame(std::move(msg));
    arm(timer);
}

void ProtocolEngine::sendRequest(std::uint8_t id, std::uint8_t sub, std::span<const std::uint8_t> args,
                                 int timer) {
    std::vector<std::uint8_t> p{'@', 0, id, sub};
    p.insert(p.end(), args.begin(), args.end());
    sendPacket(p, timer);
}

void ProtocolEngine::applyReset(std::uint8_t n) {
    if (n == 0 || n == 2) {
        replyTimer_ = 0;
        for (auto& u : uploads_) u.offset = -1;
    }
    if (n == 0 || n == 1) txSequence_ = rxSequence_ = 0;
    if (n == 0) supervision_ = 0;
}

void ProtocolEngine::sendReset(std::uint8_t n) {
    // The sender applies the reset to itself first.
    applyReset(n);
    const std::uint8_t p[] = {'0', n};
    sendPacket(p, TimerKeep);
}

int ProtocolEngine::notify(int code, int status, void* data) { return out_.notify(code, status, data); }

int ProtocolEngine::connectionCode() const { return stateRow(current()).automatic ? NtfyAutoConnected : ReqConnect; }

void ProtocolEngine::createDataSets() {
    sets_[0].reset(new SetupSet(modelCode_));
    sets_[1].reset(new TableSet(modelCode_));
    sets_[2].reset(new ProgramSet(modelCode_));
    sets_[3].reset(new Table3Set(modelCode_));
    sets_[4].reset(new InfoSet(modelCode_));
    sets_[5].reset(new ScreenSet(modelCode_));
}

void ProtocolEngine::discardDataSets() {
    for (auto& s : sets_) s.reset();
}

DataSet* ProtocolEngine::transferSet(int row) const { return dataSet(Transfers[row].set); }

} // namespace commlib
