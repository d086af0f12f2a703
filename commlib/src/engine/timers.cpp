// What the 200 ms tick drives: the automatic connection on CTS and DSR, the
// reply timer with the packet-mode retry rules, the silence watchdog that
// ends waits a dead line would never end, and failing pending operations.
#include "engine/protocol_engine.h"

namespace commlib {

using namespace engine;

void ProtocolEngine::autoConnectTick() {
    if (current() != State::Idle || autoCountdown_ <= 0) return;
    if (!(out_.cts() && out_.dsr())) {
        autoCountdown_ = AutoTicks;
        return;
    }
    if (--autoCountdown_ == 0) startHandshake(State::AutoAttention);
}

void ProtocolEngine::replyTimerTick() {
    if (replyTimer_ > 0 && --replyTimer_ == 0) dispatch(EvReplyTimer, nullptr);
}

void ProtocolEngine::silenceTick() {
    if (!stateRow(current()).silent) {
        silentTicks_ = 0;
        return;
    }
    if (++silentTicks_ >= SilenceTicks) onSilence();
}

void ProtocolEngine::onSilence() {
    const StateRow row = stateRow(current());
    silentTicks_ = 0;
    switch (row.group) {
    case Group::Attention:
        // AttentionAgain already reported its time-out; AutoAttention waits for the modem lines again.
        reset();
        if (row.automatic) autoCountdown_ = AutoTicks;
        return;
    case Group::IdentLine: return failConnection(StatusNoAnswer);
    case Group::GetReceive:
    case Group::PutSend:
        reset();
        return void(notify(row.code, StatusNoAnswer));
    default: return;
    }
}

// Checked in this order; a step that sends again ends the handling, one that gives up goes on.
void ProtocolEngine::packetTimeout() {
    if (pending_ & marker::ConnectQuery) {
        pending_ &= ~marker::ConnectQuery;
        sendReset(0);
        if (retries_ > 0) {
            --retries_;
            return sendConnectQuery();
        }
        // Three connect queries unanswered: the analyzer is not there, which is not a connection.
        failConnection(StatusNoAnswer);
    }
    if (pending_ & marker::Subscription) {
        pending_ &= ~marker::Subscription;
        sendReset(0);
        if (retries_ > 0) {
            --retries_;
            return sendSubscription();
        }
        notify(connectionCode(), StatusDone);
    }
    if (pending_ & marker::SessionEnd) {
        pending_ &= ~marker::SessionEnd;
        if (retries_ > 0) {
            --retries_;
            --txSequence_;
            pending_ |= marker::SessionEnd;
            return sendRequest(id::SessionEnd, '0', {}, TimerCommand);
        }
        sendReset(0);
        notify(ReqDisconnect, StatusNoAnswer);
    }
    if (pending_ & marker::Exit) {
        pending_ &= ~marker::Exit;
        if (retries_ > 0) {
            --retries_;
            --txSequence_;
            return sendExit();
        }
        reset();
        notify(ReqConnect, StatusNoAnswer);
    }
    failPending(StatusNoAnswer);
}

void ProtocolEngine::failPending(int status) {
    for (const FailRow& row : FailOrder) {
        if (!(pending_ & row.markers)) continue;
        pending_ &= ~row.markers;
        notify(row.connection ? connectionCode() : row.code, status);
    }
    for (int row = 0; row < UploadCount; ++row)
        if (!(pending_ & marker::putSending(row))) uploads_[row].offset = -1;
}

} // namespace commlib
