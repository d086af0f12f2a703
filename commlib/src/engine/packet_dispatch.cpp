// Packet mode: events of the packet-session states, the sequence check and
// minimum lengths of received packets, the analyzer's repeat requests and
// resets, and the routing of answers and refusals to the operation they
// belong to.
#include <array>

#include "engine/protocol_engine.h"

namespace commlib {

using namespace engine;

namespace {

struct KindRow {
    std::uint8_t kind;
    std::size_t minimum;   // shorter packets are ignored
};
// Kinds the PC handles when received; "1" and "@" are not among them.
constexpr std::array<KindRow, 7> Kinds{{
    {'0', 2}, {'2', 4}, {'?', 2}, {'A', 4}, {'B', 4}, {'D', 10}, {'E', 6},
}};
static_assert([] {
    for (std::size_t i = 1; i < Kinds.size(); ++i)
        if (Kinds[i - 1].kind >= Kinds[i].kind) return false;
    return true;
}());

bool handled(std::span<const std::uint8_t> p) {
    for (const KindRow& k : Kinds)
        if (k.kind == p[0]) return p.size() >= k.minimum;
    return false;
}

std::uint16_t word(std::span<const std::uint8_t> p, std::size_t at) {
    return p.size() >= at + 2 ? static_cast<std::uint16_t>(p[at] | p[at + 1] << 8) : 0;
}

} // namespace

void ProtocolEngine::onPacketState(int event, const LinkMessage* msg) {
    if (event == EvReplyTimer)
        packetTimeout();
    else if (event == EvWriteDone)
        continueUploads();
    else if (event == EvFrame && msg)
        onPacket(msg->bytes());
}

void ProtocolEngine::onPacket(std::span<const std::uint8_t> p) {
    if (p.empty()) return;
    if (p[0] > '?' && p.size() >= 2) {
        if (p[1] != rxSequence_) {
            // Out of order: ask for the one we expected and drop this one.
            const std::uint8_t repeat[] = {'?', rxSequence_};
            sendPacket(repeat, TimerKeep);
            return;
        }
        ++rxSequence_;
    }
    if (!handled(p)) return;
    switch (p[0]) {
    case '0': return applyReset(p[1]);
    case '?': return onRepeatRequest(p[1]);
    case '2': return onItemNotification(word(p, 2), p.subspan(4));
    case 'A': return onAnswer(p);
    case 'B': return onRefusal(p);
    case 'D': return onDataPiece(p);
    case 'E': return onEndPacket(p);
    default: return;
    }
}

void ProtocolEngine::onRepeatRequest(std::uint8_t expected) {
    // The analyzer already has our last packet: nothing was lost.
    if (expected == static_cast<std::uint8_t>(txSequence_ - 1)) return;
    sendReset(0);
    if ((pending_ & marker::ConnectQuery) && retries_ > 0) {
        --retries_;
        pending_ &= ~marker::ConnectQuery;
        sendConnectQuery();
    } else if ((pending_ & marker::Subscription) && retries_ > 0) {
        --retries_;
        pending_ &= ~marker::Subscription;
        sendSubscription();
    } else {
        failPending(StatusLostPacket);
    }
}

void ProtocolEngine::onAnswer(std::span<const std::uint8_t> p) {
    const std::uint8_t id = p[2];
    const std::span<const std::uint8_t> results = p.subspan(4);
    if (p[3] == '0') {
        // Every accepted sub "0" except the packet-mode exit ends the session.
        if (id == id::Exit)
            exitAnswer(true);
        else
            sessionEndAnswer(true);
        return;
    }
    if (id == id::ConnectQuery)
        connectAnswer(true, results);
    else if (id == id::Subscription)
        subscriptionAnswer();
    else if (id == id::MeasureStart)
        measureAnswer(results);
    else if (id == id::StopReason)
        stopReasonAnswer(results);
    else if (id == id::Supervision)
        supervisionAnswer(true, results);
    else if (auto get = transferByGetId(id))
        transferAnswer(*get, true, p);
    else if (auto put = transferByPutId(id))
        transferAnswer(*put, false, p);
}

void ProtocolEngine::onRefusal(std::span<const std::uint8_t> p) {
    const std::uint8_t id = p[2];
    const int reason = word(p, 4);
    if (id == id::SessionEnd) {
        sessionEndAnswer(false);
    } else if (id == id::Exit) {
        exitAnswer(false);
    } else if (id == id::ConnectQuery) {
        connectAnswer(false, {});
    } else if (id == id::Subscription) {
        subscriptionAnswer();
    } else if (id == id::Supervision) {
        supervisionAnswer(false, {});
    } else if (id == id::MeasureStart) {
        if (!(pending_ & marker::MeasureStart)) return;
        pending_ &= ~marker::MeasureStart;
        notify(ReqMeasure, setRefusal(reason));
    } else if (auto get = transferByGetId(id)) {
        refuseTransfer(*get, true, reason);
    } else if (auto put = transferByPutId(id)) {
        refuseTransfer(*put, false, reason);
    }
    // A refused stop-reason query is left to the reply timer.
}

void ProtocolEngine::sessionEndAnswer(bool accepted) {
    const bool wanted = pending_ & marker::SessionEnd;
    if (accepted) {
        // Reset first, so that the application's handler already sees the session gone.
        reset();
        if (wanted) notify(ReqDisconnect, StatusDone);
    } else if (wanted) {
        pending_ &= ~marker::SessionEnd;
        notify(ReqDisconnect, StatusRefused);
    }
}

} // namespace commlib
