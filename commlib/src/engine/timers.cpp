// What the 200 ms tick drives: the automatic connection on CTS and DSR, the
// reply timer with the packet-mode retry rules, the silence watchdog that
// ends waits a dead line would never end, and failing pending operations.
#include "engine/protocol_engine.h"

namespace commlib {

using namespace engine;

void ProtocolEngine::AutoConnectTick() {
    if (Current() != State::Idle || autoCountdown_ <= 0) return;
    if (!(out_.Cts() && out_.Dsr())) {
        autoCountdown_ = AutoTicks;
        return;
    }
    if (--autoCountdown_ == 0) StartHandshake(State::AutoAttention);
}

void ProtocolEngine::ReplyTimerTick() {
    if (replyTimer_ > 0 && --replyTimer_ == 0) Dispatch(EvReplyTimer, nullptr);
}

void ProtocolEngine::SilenceTick() {
    if (!RowOfState(Current()).silent) {
        silentTicks_ = 0;
        return;
    }
    if (++silentTicks_ >= SilenceTicks) OnSilence();
}

void ProtocolEngine::OnSilence() {
    const StateRow row = RowOfState(Current());
    silentTicks_ = 0;
    switch (row.group) {
    case Group::Attention:
        // AttentionAgain already reported its time-out; AutoAttention waits for the modem lines again.
        Reset();
        if (row.automatic) autoCountdown_ = AutoTicks;
        return;
    case Group::IdentLine: return FailConnection(StatusNoAnswer);
    case Group::GetReceive:
    case Group::PutSend: Reset(); return void(Notify(row.code, StatusNoAnswer));
    default: return;
    }
}

// Checked in this order; a step that sends again ends the handling, one that gives up goes on.
void ProtocolEngine::PacketTimeout() {
    if (pending_ & marker::ConnectQuery) {
        pending_ &= ~marker::ConnectQuery;
        SendReset(0);
        if (retries_ > 0) {
            --retries_;
            return SendConnectQuery();
        }
        // Three connect queries unanswered: the analyzer is not there, which is not a connection.
        FailConnection(StatusNoAnswer);
    }
    if (pending_ & marker::Subscription) {
        pending_ &= ~marker::Subscription;
        SendReset(0);
        if (retries_ > 0) {
            --retries_;
            return SendSubscription();
        }
        Notify(ConnectionCode(), StatusDone);
    }
    if (pending_ & marker::SessionEnd) {
        pending_ &= ~marker::SessionEnd;
        if (retries_ > 0) {
            --retries_;
            --txSequence_;
            pending_ |= marker::SessionEnd;
            return SendRequest(id::SessionEnd, '0', {}, TimerCommand);
        }
        SendReset(0);
        Notify(ReqDisconnect, StatusNoAnswer);
    }
    if (pending_ & marker::Exit) {
        pending_ &= ~marker::Exit;
        if (retries_ > 0) {
            --retries_;
            --txSequence_;
            return SendExit();
        }
        Reset();
        Notify(ReqConnect, StatusNoAnswer);
    }
    FailPending(StatusNoAnswer);
}

void ProtocolEngine::FailPending(int status) {
    for (const FailRow& row : FailOrder) {
        if (!(pending_ & row.markers)) continue;
        pending_ &= ~row.markers;
        Notify(row.connection ? ConnectionCode() : row.code, status);
    }
    for (int row = 0; row < UploadCount; ++row)
        if (!(pending_ & marker::PutSending(row))) uploads_[row].offset = -1;
}

}  // namespace commlib
