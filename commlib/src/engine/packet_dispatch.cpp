// Packet mode: events of the packet-session states, the sequence check and
// minimum lengths of received packets, the analyzer's repeat requests and
// resets, and the routing of answers and refusals to the operation they
// belong to.
#include <array>

#include "engine/protocol_engine.h"
#include "platform/little_endian.h"

namespace commlib {

using namespace engine;

namespace {

struct KindRow {
    std::uint8_t kind;
    std::size_t minimum;  // shorter packets are ignored
};
// Kinds the PC handles when received; "1" and "@" are not among them.
constexpr std::array<KindRow, 7> Kinds{{
    {'0', 2},
    {'2', 4},
    {'?', 2},
    {'A', 4},
    {'B', 4},
    {'D', 10},
    {'E', 6},
}};
static_assert([] {
    for (std::size_t i = 1; i < Kinds.size(); ++i)
        if (Kinds[i - 1].kind >= Kinds[i].kind) return false;
    return true;
}());

bool Handled(std::span<const std::uint8_t> p) {
    for (const KindRow& k : Kinds)
        if (k.kind == p[0]) return p.size() >= k.minimum;
    return false;
}

std::uint16_t Word(std::span<const std::uint8_t> p, std::size_t at) {
    return p.size() >= at + 2 ? platform::readUint16(&p[at]) : 0;
}

}  // namespace

void ProtocolEngine::OnPacketState(int event, const LinkMessage* msg) {
    if (event == EvReplyTimer) PacketTimeout();
    else if (event == EvWriteDone) ContinueUploads();
    else if (event == EvFrame && msg) OnPacket(msg->Bytes());
}

void ProtocolEngine::OnPacket(std::span<const std::uint8_t> p) {
    if (p.empty()) return;
    if (p[0] > '?' && p.size() >= 2) {
        if (p[1] != rxSequence_) {
            // Out of order: ask for the one we expected and drop this one.
            const std::uint8_t repeat[] = {'?', rxSequence_};
            SendPacket(repeat, TimerKeep);
            return;
        }
        ++rxSequence_;
    }
    if (!Handled(p)) return;
    switch (p[0]) {
    case '0': return ApplyReset(p[1]);
    case '?': return OnRepeatRequest(p[1]);
    case '2': return OnItemNotification(Word(p, 2), p.subspan(4));
    case 'A': return OnAnswer(p);
    case 'B': return OnRefusal(p);
    case 'D': return OnDataPiece(p);
    case 'E': return OnEndPacket(p);
    default: return;
    }
}

void ProtocolEngine::OnRepeatRequest(std::uint8_t expected) {
    // The analyzer already has our last packet: nothing was lost.
    if (expected == static_cast<std::uint8_t>(txSequence_ - 1)) return;
    SendReset(0);
    if ((pending_ & marker::ConnectQuery) && retries_ > 0) {
        --retries_;
        pending_ &= ~marker::ConnectQuery;
        SendConnectQuery();
    } else if ((pending_ & marker::Subscription) && retries_ > 0) {
        --retries_;
        pending_ &= ~marker::Subscription;
        SendSubscription();
    } else {
        FailPending(StatusLostPacket);
    }
}

void ProtocolEngine::OnAnswer(std::span<const std::uint8_t> p) {
    const std::uint8_t id = p[2];
    const std::span<const std::uint8_t> results = p.subspan(4);
    if (p[3] == '0') {
        // Every accepted sub "0" except the packet-mode exit ends the session.
        if (id == id::Exit) ExitAnswer(true);
        else SessionEndAnswer(true);
        return;
    }
    if (id == id::ConnectQuery) ConnectAnswer(true, results);
    else if (id == id::Subscription) SubscriptionAnswer();
    else if (id == id::MeasureStart) MeasureAnswer(results);
    else if (id == id::StopReason) StopReasonAnswer(results);
    else if (id == id::Supervision) SupervisionAnswer(true, results);
    else if (auto get = TransferByGetId(id)) TransferAnswer(*get, true, p);
    else if (auto put = TransferByPutId(id)) TransferAnswer(*put, false, p);
}

void ProtocolEngine::OnRefusal(std::span<const std::uint8_t> p) {
    const std::uint8_t id = p[2];
    const int reason = Word(p, 4);
    if (id == id::SessionEnd) {
        SessionEndAnswer(false);
    } else if (id == id::Exit) {
        ExitAnswer(false);
    } else if (id == id::ConnectQuery) {
        ConnectAnswer(false, {});
    } else if (id == id::Subscription) {
        SubscriptionAnswer();
    } else if (id == id::Supervision) {
        SupervisionAnswer(false, {});
    } else if (id == id::MeasureStart) {
        if (!(pending_ & marker::MeasureStart)) return;
        pending_ &= ~marker::MeasureStart;
        Notify(ReqMeasure, SetRefusal(reason));
    } else if (auto get = TransferByGetId(id)) {
        RefuseTransfer(*get, true, reason);
    } else if (auto put = TransferByPutId(id)) {
        RefuseTransfer(*put, false, reason);
    }
    // A refused stop-reason query is left to the reply timer.
}

void ProtocolEngine::SessionEndAnswer(bool accepted) {
    const bool wanted = pending_ & marker::SessionEnd;
    if (accepted) {
        // Reset first, so that the application's handler already sees the session gone.
        Reset();
        if (wanted) Notify(ReqDisconnect, StatusDone);
    } else if (wanted) {
        pending_ &= ~marker::SessionEnd;
        Notify(ReqDisconnect, StatusRefused);
    }
}

}  // namespace commlib
