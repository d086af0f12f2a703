// Keeping watch on the line while a measurement that we started runs. The
// engine asks the analyzer for link supervision ("@" "1") once the start is
// confirmed and switches it off when the measurement stops; while it is on, a
// "1" keep-alive goes out whenever the line has been quiet from our side, and
// a line that stays silent from the analyzer's side ends the session with
// NtfyLinkLost.
// A port that fails for good (unplugged adapter) ends the session at once.
#include "engine/protocol_engine.h"

namespace commlib {

using namespace engine;

void ProtocolEngine::onLineGone() {
    // The reset closes the block file with everything stored so far.
    reset();
    notify(NtfyLinkLost, LinkLostPortGone);
}

void ProtocolEngine::startSupervision() {
    if (!inPacketMode(current()) || (pending_ & marker::Supervision)) return;
    const std::uint8_t asked[] = {SupervisionAsked};
    pending_ |= marker::Supervision;
    sendRequest(id::Supervision, '1', asked, TimerKeep);
}

void ProtocolEngine::stopSupervision() {
    if (supervision_ == 0 && !(pending_ & marker::Supervision)) return;
    supervision_ = 0;
    const std::uint8_t off[] = {0};
    pending_ |= marker::Supervision;
    sendRequest(id::Supervision, '1', off, TimerKeep);
}

void ProtocolEngine::supervisionAnswer(bool accepted, std::span<const std::uint8_t> results) {
    if (!(pending_ & marker::Supervision)) return;
    pending_ &= ~marker::Supervision;
    // A refusal leaves the line unsupervised, as it was before.
    supervision_ = accepted && !results.empty() ? results[0] : 0;
    keepAliveLeft_ = keepAliveTicks(supervision_);
    linkLossLeft_ = linkLossTicks(supervision_);
}

void ProtocolEngine::heardFromLine(int event) {
    if (event == EvWriteDone) {
        keepAliveLeft_ = keepAliveTicks(supervision_);
        return;
    }
    // Anything the analyzer sent proves the line is alive.
    if (event >= EvAck && event <= EvFrame) {
        silentTicks_ = 0;
        linkLossLeft_ = linkLossTicks(supervision_);
    }
}

void ProtocolEngine::supervisionTick() {
    if (supervision_ == 0) return;
    if (--linkLossLeft_ <= 0) {
        reset();
        notify(NtfyLinkLost, LinkLostSilent);
        return;
    }
    if (--keepAliveLeft_ <= 0) {
        keepAliveLeft_ = keepAliveTicks(supervision_);
        const std::uint8_t keepAlive[] = {'1', static_cast<std::uint8_t>(supervision_)};
        sendPacket(keepAlive, TimerKeep);
    }
}

} // namespace commlib
