// The application's requests: one handler per request code, each deciding by
// the engine state whether to send a text command, send a packet, or answer
// at once because the request does not fit the state.
#include <cstdio>

#include "engine/protocol_engine.h"

namespace commlib {

using namespace engine;

void ProtocolEngine::Request(int code, int param, std::intptr_t) {
    using Handler = void (ProtocolEngine::*)(int code, int param);
    struct Row {
        int code;
        Handler handler;
    };
    static constexpr Row Rows[] = {
        {ReqConnect, &ProtocolEngine::RequestSession},     {ReqAutoConnect, &ProtocolEngine::RequestSession},
        {ReqDisconnect, &ProtocolEngine::RequestSession},  {ReqMeasure, &ProtocolEngine::RequestSession},
        {ReqGetSetup, &ProtocolEngine::RequestTransfer},   {ReqGetTable, &ProtocolEngine::RequestTransfer},
        {ReqGetProgram, &ProtocolEngine::RequestTransfer}, {ReqGetTable3, &ProtocolEngine::RequestTransfer},
        {ReqGetScreen, &ProtocolEngine::RequestTransfer},  {ReqPutSetup, &ProtocolEngine::RequestTransfer},
        {ReqPutTable, &ProtocolEngine::RequestTransfer},   {ReqPutProgram, &ProtocolEngine::RequestTransfer},
        {ReqPutTable3, &ProtocolEngine::RequestTransfer},  {ReqGetStopReason, &ProtocolEngine::RequestSession},
        {ReqKey, &ProtocolEngine::RequestSession},
    };
    for (const Row& r : Rows)
        if (r.code == code) return (this->*r.handler)(code, param);
    Notify(code, StatusUnknownRequest);
}

void ProtocolEngine::RequestSession(int code, int param) {
    switch (code) {
    case ReqConnect:
        if (Current() != State::Idle) return void(Notify(ReqConnect, StatusDone));
        autoCountdown_ = 0;
        return StartHandshake(State::Attention);
    case ReqAutoConnect: autoCountdown_ = AutoTicks; return void(Notify(ReqAutoConnect, StatusDone));
    case ReqDisconnect: return RequestDisconnect();
    case ReqMeasure: return RequestMeasure(param);
    case ReqGetStopReason: return RequestStopReason();
    case ReqKey: return RequestKey(param & 0xFFFF);
    default: return;
    }
}

void ProtocolEngine::RequestDisconnect() {
    const State s = Current();
    if (s == State::TextSession) {
        SetState(State::Quit);
        SendText("%Q\r\n", TimerCommand);
    } else if (InPacketMode(s)) {
        retries_ = 2;
        pending_ |= marker::SessionEnd;
        SendRequest(id::SessionEnd, '0', {}, TimerCommand);
    } else {
        Notify(ReqDisconnect, s == State::Idle ? StatusDone : StatusNotAllowed);
    }
}

void ProtocolEngine::RequestMeasure(int param) {
    const State s = Current();
    if (s == State::TextSession) {
        SetState(param ? State::MeasureStart : State::MeasureStop);
        SendText(param ? "%K21\r\n" : "%K22\r\n", TimerCommand);
    } else if (InPacketMode(s) && param) {
        const std::uint8_t start[] = {item::Measure & 0xFF, item::Measure >> 8, 1, 1};
        pending_ |= marker::MeasureStart;
        SendRequest(id::MeasureStart, '5', start, TimerCommand);
    } else if (InPacketMode(s)) {
        // The analyzer stops on its stop key; pressed three times so that one surely arrives.
        for (int i = 0; i < 3; ++i) SendKeyPacket(0x22);
        Notify(ReqMeasure, StatusDone);
    } else {
        Notify(ReqMeasure, StatusNotAllowed);
    }
}

void ProtocolEngine::RequestKey(int key) {
    const State s = Current();
    if (s == State::TextSession) {
        char text[16];
        std::snprintf(text, sizeof text, key < 256 ? "%%K%02X\r\n" : "%%K%04X\r\n", static_cast<unsigned>(key));
        SetState(State::Key);
        SendText(text, TimerCommand);
    } else if (InPacketMode(s)) {
        SendKeyPacket(key);
        Notify(ReqKey, StatusDone);
    } else {
        Notify(ReqKey, StatusNotAllowed);
    }
}

void ProtocolEngine::SendKeyPacket(int key) {
    std::uint8_t p[6] = {'2',
                         0,
                         item::Key & 0xFF,
                         item::Key >> 8,
                         static_cast<std::uint8_t>(key & 0xFF),
                         static_cast<std::uint8_t>(key >> 8)};
    SendPacket(std::span(p, key < 256 ? 5 : 6), TimerKeep);
}

void ProtocolEngine::RequestStopReason() {
    const State s = Current();
    if (InPacketMode(s)) {
        const std::uint8_t query[] = {item::StopReason & 0xFF, item::StopReason >> 8};
        pending_ |= marker::StopReason;
        SendRequest(id::StopReason, '4', query, TimerCommand);
    } else {
        // Only packet mode can answer; anywhere else the application hears so at once.
        Notify(ReqGetStopReason, s == State::TextSession ? StatusNotAvailable : StatusNotAllowed);
    }
}

void ProtocolEngine::RequestTransfer(int code, int) {
    const State s = Current();
    const bool get = TransferByGetCode(code).has_value();
    const int row = get ? *TransferByGetCode(code) : *TransferByPutCode(code);
    const Transfer& t = Transfers[row];
    DataSet* set = TransferSet(row);
    if (s != State::TextSession && !InPacketMode(s)) return void(Notify(code, StatusNotAllowed));
    if (s == State::TextSession && t.getCommand.empty()) return void(Notify(code, StatusNotAvailable));
    // A data set that does not exist (no identification) can neither be filled nor sent.
    if (!set) return void(Notify(code, StatusNotAvailable));
    if (!get && !set->IsComplete()) return void(Notify(code, StatusNotAllowed));
    const std::uint8_t item[] = {static_cast<std::uint8_t>(t.item & 0xFF), static_cast<std::uint8_t>(t.item >> 8)};
    if (s == State::TextSession) {
        SetState(get ? t.getState : t.putState);
        SendText(get ? t.getCommand : t.putCommand, TimerCommand);
    } else if (get) {
        pending_ |= marker::GetRequested(row);
        SendRequest(t.getId, '6', item, TimerCommand);
    } else {
        pending_ |= marker::PutRequested(row);
        SendRequest(t.putId, '7', item, TimerCommand);
    }
}

}  // namespace commlib
