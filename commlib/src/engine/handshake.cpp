// The connection handshake: "###", the switch to packet mode with "%@X\r\n",
// the text-mode identification, the packet-mode connect query and
// subscription, and the packet-mode exit for an analyzer left in packet mode.
#include <vector>

#include "commlib/analyzer_words.h"
#include "engine/protocol_engine.h"

namespace commlib {

using namespace engine;

namespace {
constexpr std::string_view Attention = "###";
constexpr std::string_view SwitchToPacket = "%@X\r\n";
constexpr std::string_view Identify = "%T0\r\n";
constexpr std::string_view Ack = "*";

void putItem(std::vector<std::uint8_t>& v, std::uint16_t item) {
    v.push_back(static_cast<std::uint8_t>(item & 0xFF));
    v.push_back(static_cast<std::uint8_t>(item >> 8));
}
} // namespace

void ProtocolEngine::startHandshake(State s) {
    setState(s);
    sendText(Attention, TimerAttention);
}

// An automatic connection that fails waits for the modem lines again instead of notifying.
void ProtocolEngine::failConnection(int status) {
    const bool automatic = stateRow(current()).automatic;
    reset();
    if (automatic)
        autoCountdown_ = AutoTicks;
    else
        notify(ReqConnect, status);
}

void ProtocolEngine::onAttention(int event) {
    const State s = current();
    if (event == EvAck) {
        setState(s == State::AutoAttention ? State::AutoSwitchToPacket : State::SwitchToPacket);
        retries_ = 2;
        sendText(SwitchToPacket, TimerCommand);
    } else if (event == EvNak) {
        reset();
        if (s == State::AutoAttention)
            autoCountdown_ = AutoTicks;
        else
            notify(ReqConnect, StatusNotAvailable);
    } else if (event == EvReplyTimer) {
        if (s == State::Attention) {
            // No text-mode answer: the analyzer may still be in packet mode from an earlier session.
            setState(State::PacketSession);
            retries_ = 0;
            sendExit();
        } else if (s == State::AttentionAgain) {
            notify(ReqConnect, StatusNoAnswer);
        } else {
            autoCountdown_ = AutoTicks;
        }
    }
}

void ProtocolEngine::onSwitch(int event) {
    const bool automatic = stateRow(current()).automatic;
    if (event == EvAck) {
        setState(automatic ? State::AutoPacketSession : State::PacketSession);
        sendReset(0);
        pending_ = 0;
        retries_ = 2;
        sendConnectQuery();
    } else if (event == EvNak || event == EvCancel) {
        if (retries_ > 0) {
            --retries_;
            sendText(SwitchToPacket, TimerCommand);
        } else {
            // No packet mode in this firmware: stay in text mode and identify.
            setState(automatic ? State::AutoIdentify : State::Identify);
            sendText(Identify, TimerCommand);
        }
    } else if (event == EvReplyTimer) {
        if (retries_ > 0) {
            --retries_;
            sendText(SwitchToPacket, TimerCommand);
        } else {
            failConnection(StatusNoAnswer);
        }
    }
}

void ProtocolEngine::onIdentify(int event) {
    const bool automatic = stateRow(current()).automatic;
    if (event == EvAck) {
        setState(automatic ? State::AutoIdentLine : State::IdentLine);
    } else if (event == EvNak || event == EvCancel) {
        // Text mode without identification: no data sets.
        const int code = connectionCode();
        setState(State::TextSession);
        notify(code, StatusDone);
    } else if (event == EvReplyTimer) {
        failConnection(StatusNoAnswer);
    }
}

void ProtocolEngine::onIdentLine(int event, const LinkMessage* msg) {
    const int code = connectionCode();
    if (event == EvLine && msg) {
        sendText(Ack, TimerOff);
        const Identification id = parseIdentification(msg->bytes());
        modelName_ = id.name;
        version_ = id.version;
        modelCode_ = modelCodeFor(modelName_, modelCode_);
        createDataSets();
        setState(State::TextSession);
        notify(code, StatusDone);
    } else if (event == EvCancel) {
        setState(State::TextSession);
        notify(code, StatusDone);
    }
}

void ProtocolEngine::sendConnectQuery() {
    std::vector<std::uint8_t> args;
    for (std::uint16_t item : ConnectQueryItems) putItem(args, item);
    pending_ |= marker::ConnectQuery;
    sendRequest(id::ConnectQuery, '4', args, TimerCommand);
}

void ProtocolEngine::sendSubscription() {
    std::vector<std::uint8_t> args;
    const bool storing = capture_->Storing() || live_.active();
    for (const Subscription& s : Subscriptions) {
        putItem(args, s.item);
        args.push_back(s.on == Switch::On || (s.on == Switch::WhenStoring && storing) ? 1 : 0);
    }
    pending_ |= marker::Subscription;
    sendRequest(id::Subscription, '3', args, TimerCommand);
}

void ProtocolEngine::sendExit() {
    pending_ |= marker::Exit;
    sendRequest(id::Exit, '0', {}, TimerCommand);
}

void ProtocolEngine::applyQueryRecords(std::span<const std::uint8_t> results) {
    std::uint32_t status = status_;
    for (const ItemRecord& r : parseItemRecords(results)) {
        if (r.item == item::ModelCode) {
            modelCode_ = static_cast<int>(littleEndian(r.value));
        } else if (r.item == item::ModelName) {
            const std::size_t n = std::min<std::size_t>(r.value.size(), 63);
            modelName_.assign(reinterpret_cast<const char*>(r.value.data()), n);
            modelName_.resize(modelName_.find('\0') == std::string::npos ? n : modelName_.find('\0'));
        } else if (r.item == item::Version) {
            version_ = versionFromItem(r.value);
        } else if (r.item == item::Status) {
            status = littleEndian(r.value);
        }
    }
    // Only a measuring analyzer's word is kept here; otherwise the first status
    // notification sets it, so that its changes are reported from a clean start.
    if (IsMeasuring(status)) status_ = status;
}

void ProtocolEngine::connectAnswer(bool accepted, std::span<const std::uint8_t> results) {
    if (!(pending_ & marker::ConnectQuery)) return;
    pending_ &= ~marker::ConnectQuery;
    if (accepted) {
        applyQueryRecords(results);
        createDataSets();
        if (IsMeasuring(status_)) {
            // The application reads GetStatus and refuses a measuring analyzer; no subscription.
            notify(connectionCode(), StatusDone);
            return;
        }
    }
    retries_ = 2;
    sendSubscription();
}

void ProtocolEngine::subscriptionAnswer() {
    if (!(pending_ & marker::Subscription)) return;
    pending_ &= ~marker::Subscription;
    notify(connectionCode(), StatusDone);
}

void ProtocolEngine::exitAnswer(bool accepted) {
    if (!(pending_ & marker::Exit)) return;
    reset();
    if (accepted) {
        // Out of packet mode: start over in text mode.
        startHandshake(State::AttentionAgain);
    } else {
        notify(ReqConnect, StatusRefused);
    }
}

} // namespace commlib
