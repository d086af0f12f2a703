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

void PutItem(std::vector<std::uint8_t>& v, std::uint16_t item) {
    v.push_back(static_cast<std::uint8_t>(item & 0xFF));
    v.push_back(static_cast<std::uint8_t>(item >> 8));
}
}  // namespace

void ProtocolEngine::StartHandshake(State s) {
    SetState(s);
    SendText(Attention, TimerAttention);
}

// An automatic connection that fails waits for the modem lines again instead of notifying.
void ProtocolEngine::FailConnection(int status) {
    const bool automatic = RowOfState(Current()).automatic;
    Reset();
    if (automatic) autoCountdown_ = AutoTicks;
    else Notify(ReqConnect, status);
}

void ProtocolEngine::OnAttention(int event) {
    const State s = Current();
    if (event == EvAck) {
        SetState(s == State::AutoAttention ? State::AutoSwitchToPacket : State::SwitchToPacket);
        retries_ = 2;
        SendText(SwitchToPacket, TimerCommand);
    } else if (event == EvNak) {
        Reset();
        if (s == State::AutoAttention) autoCountdown_ = AutoTicks;
        else Notify(ReqConnect, StatusNotAvailable);
    } else if (event == EvReplyTimer) {
        if (s == State::Attention) {
            // No text-mode answer: the analyzer may still be in packet mode from an earlier session.
            SetState(State::PacketSession);
            retries_ = 0;
            SendExit();
        } else if (s == State::AttentionAgain) {
            Notify(ReqConnect, StatusNoAnswer);
        } else {
            autoCountdown_ = AutoTicks;
        }
    }
}

void ProtocolEngine::OnSwitch(int event) {
    const bool automatic = RowOfState(Current()).automatic;
    if (event == EvAck) {
        SetState(automatic ? State::AutoPacketSession : State::PacketSession);
        SendReset(0);
        pending_ = 0;
        retries_ = 2;
        SendConnectQuery();
    } else if (event == EvNak || event == EvCancel) {
        if (retries_ > 0) {
            --retries_;
            SendText(SwitchToPacket, TimerCommand);
        } else {
            // No packet mode in this firmware: stay in text mode and identify.
            SetState(automatic ? State::AutoIdentify : State::Identify);
            SendText(Identify, TimerCommand);
        }
    } else if (event == EvReplyTimer) {
        if (retries_ > 0) {
            --retries_;
            SendText(SwitchToPacket, TimerCommand);
        } else {
            FailConnection(StatusNoAnswer);
        }
    }
}

void ProtocolEngine::OnIdentify(int event) {
    const bool automatic = RowOfState(Current()).automatic;
    if (event == EvAck) {
        SetState(automatic ? State::AutoIdentLine : State::IdentLine);
    } else if (event == EvNak || event == EvCancel) {
        // Text mode without identification: no data sets.
        const int code = ConnectionCode();
        SetState(State::TextSession);
        Notify(code, StatusDone);
    } else if (event == EvReplyTimer) {
        FailConnection(StatusNoAnswer);
    }
}

void ProtocolEngine::OnIdentLine(int event, const LinkMessage* msg) {
    const int code = ConnectionCode();
    if (event == EvLine && msg) {
        SendText(Ack, TimerOff);
        const Identification id = ParseIdentification(msg->Bytes());
        modelName_ = id.name;
        version_ = id.version;
        modelCode_ = ModelCodeFor(modelName_, modelCode_);
        CreateDataSets();
        SetState(State::TextSession);
        Notify(code, StatusDone);
    } else if (event == EvCancel) {
        SetState(State::TextSession);
        Notify(code, StatusDone);
    }
}

void ProtocolEngine::SendConnectQuery() {
    std::vector<std::uint8_t> args;
    for (std::uint16_t item : ConnectQueryItems) PutItem(args, item);
    pending_ |= marker::ConnectQuery;
    SendRequest(id::ConnectQuery, '4', args, TimerCommand);
}

void ProtocolEngine::SendSubscription() {
    std::vector<std::uint8_t> args;
    const bool storing = capture_->Storing() || live_.Active();
    for (const Subscription& s : Subscriptions) {
        PutItem(args, s.item);
        args.push_back(s.on == Switch::On || (s.on == Switch::WhenStoring && storing) ? 1 : 0);
    }
    pending_ |= marker::Subscription;
    SendRequest(id::Subscription, '3', args, TimerCommand);
}

void ProtocolEngine::SendExit() {
    pending_ |= marker::Exit;
    SendRequest(id::Exit, '0', {}, TimerCommand);
}

void ProtocolEngine::ApplyQueryRecords(std::span<const std::uint8_t> results) {
    std::uint32_t status = status_;
    for (const ItemRecord& r : ParseItemRecords(results)) {
        if (r.item == item::ModelCode) {
            modelCode_ = static_cast<int>(LittleEndian(r.value));
        } else if (r.item == item::ModelName) {
            const std::size_t n = std::min<std::size_t>(r.value.size(), 63);
            modelName_.assign(reinterpret_cast<const char*>(r.value.data()), n);
            modelName_.resize(modelName_.find('\0') == std::string::npos ? n : modelName_.find('\0'));
        } else if (r.item == item::Version) {
            version_ = VersionFromItem(r.value);
        } else if (r.item == item::Status) {
            status = LittleEndian(r.value);
        }
    }
    // Only a measuring analyzer's word is kept here; otherwise the first status
    // notification sets it, so that its changes are reported from a clean start.
    if (IsMeasuring(status)) status_ = status;
}

void ProtocolEngine::ConnectAnswer(bool accepted, std::span<const std::uint8_t> results) {
    if (!(pending_ & marker::ConnectQuery)) return;
    pending_ &= ~marker::ConnectQuery;
    if (accepted) {
        ApplyQueryRecords(results);
        CreateDataSets();
        if (IsMeasuring(status_)) {
            // The application reads GetStatus and refuses a measuring analyzer; no subscription.
            Notify(ConnectionCode(), StatusDone);
            return;
        }
    }
    retries_ = 2;
    SendSubscription();
}

void ProtocolEngine::SubscriptionAnswer() {
    if (!(pending_ & marker::Subscription)) return;
    pending_ &= ~marker::Subscription;
    Notify(ConnectionCode(), StatusDone);
}

void ProtocolEngine::ExitAnswer(bool accepted) {
    if (!(pending_ & marker::Exit)) return;
    Reset();
    if (accepted) {
        // Out of packet mode: start over in text mode.
        StartHandshake(State::AttentionAgain);
    } else {
        Notify(ReqConnect, StatusRefused);
    }
}

}  // namespace commlib
