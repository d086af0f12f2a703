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

void ProtocolEngine::OnLineGone() {
    // The reset closes the block file with everything stored so far.
    Reset();
    Notify(NtfyLinkLost, LinkLostPortGone);
}

void ProtocolEngine::StartSupervision() {
    if (!InPacketMode(Current()) || (pending_ & marker::Supervision)) return;
    const std::uint8_t asked[] = {SupervisionAsked};
    pending_ |= marker::Supervision;
    SendRequest(id::Supervision, '1', asked, TimerKeep);
}

void ProtocolEngine::StopSupervision() {
    if (supervision_ == 0 && !(pending_ & marker::Supervision)) return;
    supervision_ = 0;
    const std::uint8_t off[] = {0};
    pending_ |= marker::Supervision;
    SendRequest(id::Supervision, '1', off, TimerKeep);
}

void ProtocolEngine::SupervisionAnswer(bool accepted, std::span<const std::uint8_t> results) {
    if (!(pending_ & marker::Supervision)) return;
    pending_ &= ~marker::Supervision;
    // A refusal leaves the line unsupervised, as it was before.
    supervision_ = accepted && !results.empty() ? results[0] : 0;
    keepAliveLeft_ = KeepAliveTicks(supervision_);
    linkLossLeft_ = LinkLossTicks(supervision_);
}

void ProtocolEngine::HeardFromLine(int event) {
    if (event == EvWriteDone) {
        keepAliveLeft_ = KeepAliveTicks(supervision_);
        return;
    }
    // Anything the analyzer sent proves the line is alive.
    if (event >= EvAck && event <= EvFrame) {
        silentTicks_ = 0;
        linkLossLeft_ = LinkLossTicks(supervision_);
    }
}

void ProtocolEngine::SupervisionTick() {
    if (supervision_ == 0) return;
    if (--linkLossLeft_ <= 0) {
        Reset();
        Notify(NtfyLinkLost, LinkLostSilent);
        return;
    }
    if (--keepAliveLeft_ <= 0) {
        keepAliveLeft_ = KeepAliveTicks(supervision_);
        const std::uint8_t keepAlive[] = {'1', static_cast<std::uint8_t>(supervision_)};
        SendPacket(keepAlive, TimerKeep);
    }
}

}  // namespace commlib
