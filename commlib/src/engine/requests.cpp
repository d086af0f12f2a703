// The application's requests: one handler per request code, each deciding by
// the engine state whether to send a text command, send a packet, or answer
// at once because the request does not fit the state.
#include <cstdio>

#include "engine/protocol_engine.h"

namespace commlib {

using namespace engine;

void ProtocolEngine::request(int code, int param, std::intptr_t) {
    using Handler = void (ProtocolEngine::*)(int code, int param);
    struct Row {
        int code;
        Handler handler;
    };
    static constexpr Row rows[] = {
        {ReqConnect, &ProtocolEngine::requestSession},
        {ReqAutoConnect, &ProtocolEngine::requestSession},
        {ReqDisconnect, &ProtocolEngine::requestSession},
        {ReqMeasure, &ProtocolEngine::requestSession},
        {ReqGetSetup, &ProtocolEngine::requestTransfer},
        {ReqGetTable, &ProtocolEngine::requestTransfer},
        {ReqGetProgram, &ProtocolEngine::requestTransfer},
        {ReqGetTable3, &ProtocolEngine::requestTransfer},
        {ReqGetScreen, &ProtocolEngine::requestTransfer},
        {ReqPutSetup, &ProtocolEngine::requestTransfer},
        {ReqPutTable, &ProtocolEngine::requestTransfer},
        {ReqPutProgram, &ProtocolEngine::requestTransfer},
        {ReqPutTable3, &ProtocolEngine::requestTransfer},
        {ReqGetStopReason, &ProtocolEngine::requestSession},
        {ReqKey, &ProtocolEngine::requestSession},
    };
    for (const Row& r : rows)
        if (r.code == code) return (this->*r.handler)(code, param);
    notify(code, StatusUnknownRequest);
}

void ProtocolEngine::requestSession(int code, int param) {
    switch (code) {
    case ReqConnect:
        if (current() != State::Idle) return void(notify(ReqConnect, StatusDone));
        autoCountdown_ = 0;
        return startHandshake(State::Attention);
    case ReqAutoConnect:
        autoCountdown_ = AutoTicks;
        return void(notify(ReqAutoConnect, StatusDone));
    case ReqDisconnect: return requestDisconnect();
    case ReqMeasure: return requestMeasure(param);
    case ReqGetStopReason: return requestStopReason();
    case ReqKey: return requestKey(param & 0xFFFF);
    default: return;
    }
}

void ProtocolEngine::requestDisconnect() {
    const State s = current();
    if (s == State::TextSession) {
        setState(State::Quit);
        sendText("%Q\r\n", TimerCommand);
    } else if (inPacketMode(s)) {
        retries_ = 2;
        pending_ |= marker::SessionEnd;
        sendRequest(id::SessionEnd, '0', {}, TimerCommand);
    } else {
        notify(ReqDisconnect, s == State::Idle ? StatusDone : StatusNotAllowed);
    }
}

void ProtocolEngine::requestMeasure(int param) {
    const State s = current();
    if (s == State::TextSession) {
        setState(param ? State::MeasureStart : State::MeasureStop);
        sendText(param ? "%K21\r\n" : "%K22\r\n", TimerCommand);
    } else if (inPacketMode(s) && param) {
        const std::uint8_t start[] = {item::Measure & 0xFF, item::Measure >> 8, 1, 1};
        pending_ |= marker::MeasureStart;
        sendRequest(id::MeasureStart, '5', start, TimerCommand);
    } else if (inPacketMode(s)) {
        // The analyzer stops on its stop key; pressed three times so that one surely arrives.
        for (int i = 0; i < 3; ++i) sendKeyPacket(0x22);
        notify(ReqMeasure, StatusDone);
    } else {
        notify(ReqMeasure, StatusNotAllowed);
    }
}

void ProtocolEngine::requestKey(int key) {
    const State s = current();
    if (s == State::TextSession) {
        char text[16];
        std::snprintf(text, sizeof text, key < 256 ? "%%K%02X\r\n" : "%%K%04X\r\n", static_cast<unsigned>(key));
        setState(State::Key);
        sendText(text, TimerCommand);
    } else if (inPacketMode(s)) {
        sendKeyPacket(key);
        notify(ReqKey, StatusDone);
    } else {
        notify(ReqKey, StatusNotAllowed);
    }
}

void ProtocolEngine::sendKeyPacket(int key) {
    std::uint8_t p[6] = {'2', 0, item::Key & 0xFF, item::Key >> 8, static_cast<std::uint8_t>(key & 0xFF),
                         static_cast<std::uint8_t>(key >> 8)};
    sendPacket(std::span(p, key < 256 ? 5 : 6), TimerKeep);
}

void ProtocolEngine::requestStopReason() {
    const State s = current();
    if (inPacketMode(s)) {
        const std::uint8_t query[] = {item::StopReason & 0xFF, item::StopReason >> 8};
        pending_ |= marker::StopReason;
        sendRequest(id::StopReason, '4', query, TimerCommand);
    } else {
        // Only packet mode can answer; anywhere else the application hears so at once.
        notify(ReqGetStopReason, s == State::TextSession ? StatusNotAvailable : StatusNotAllowed);
    }
}

void ProtocolEngine::requestTransfer(int code, int) {
    const State s = current();
    const bool get = transferByGetCode(code).has_value();
    const int row = get ? *transferByGetCode(code) : *transferByPutCode(code);
    const Transfer& t = Transfers[row];
    DataSet* set = transferSet(row);
    if (s != State::TextSession && !inPacketMode(s)) return void(notify(code, StatusNotAllowed));
    if (s == State::TextSession && t.getCommand.empty()) return void(notify(code, StatusNotAvailable));
    // A data set that does not exist (no identification) can neither be filled nor sent.
    if (!set) return void(notify(code, StatusNotAvailable));
    if (!get && !set->IsComplete()) return void(notify(code, StatusNotAllowed));
    const std::uint8_t item[] = {static_cast<std::uint8_t>(t.item & 0xFF), static_cast<std::uint8_t>(t.item >> 8)};
    if (s == State::TextSession) {
        setState(get ? t.getState : t.putState);
        sendText(get ? t.getCommand : t.putCommand, TimerCommand);
    } else if (get) {
        pending_ |= marker::getRequested(row);
        sendRequest(t.getId, '6', item, TimerCommand);
    } else {
        pending_ |= marker::putRequested(row);
        sendRequest(t.putId, '7', item, TimerCommand);
    }
}

} // namespace commlib
