// Text mode once connected: the single-command states (quit, key, measure
// start and stop) and the data-set transfers, lines and blocks down to the PC
// and 128-byte binary blocks up to the analyzer.
#include <algorithm>

#include "engine/protocol_engine.h"

namespace commlib {

using namespace engine;

namespace {
constexpr std::string_view Ack = "*";
constexpr std::string_view End = "!";
constexpr std::string_view Cancel = "/";
}  // namespace

void ProtocolEngine::EndText(int code, int status) {
    SetState(State::TextSession);
    Notify(code, status);
}

void ProtocolEngine::OnCommand(int event) {
    const int code = RowOfState(Current()).code;
    int status;
    switch (event) {
    case EvAck: status = StatusDone; break;
    case EvNak: status = StatusNotAvailable; break;
    case EvCancel: status = StatusNotAllowed; break;
    case EvReplyTimer: status = StatusNoAnswer; break;
    default: return;
    }
    if (code == ReqDisconnect) {
        if (event == EvAck) {
            // The analyzer left the remote session: nothing of it remains.
            Reset();
            return void(Notify(ReqDisconnect, StatusDone));
        }
        if (event != EvReplyTimer) status = StatusRefused;
    }
    EndText(code, status);
}

void ProtocolEngine::OnGetFirst(int event, const LinkMessage* msg) {
    const StateRow& row = RowOfState(Current());
    DataSet* set = TransferSet(row.transfer);
    if (event == EvAck || (event == EvLine && msg)) {
        SetState(TransferNext(row.state));
        if (set) set->ResetReceive();
        if (event == EvLine) {
            SendText(Ack, TimerOff);
            if (set) set->Append(msg->data, msg->length);
        }
    } else {
        EndFirstStep(event, row.code);
    }
}

// The answers that end a get's or a put's first step: the analyzer has no such
// data (NAK), will not transfer it now (cancel), or says nothing at all.
void ProtocolEngine::EndFirstStep(int event, int code) {
    if (event == EvNak) return EndText(code, StatusNotAvailable);
    if (event == EvCancel) return EndText(code, StatusNotAllowed);
    if (event != EvReplyTimer) return;
    Reset();
    Notify(code, StatusNoAnswer);
}

void ProtocolEngine::OnGetReceive(int event, const LinkMessage* msg) {
    const StateRow& row = RowOfState(Current());
    DataSet* set = TransferSet(row.transfer);
    if (event == EvLine && msg) {
        SendText(Ack, TimerOff);
        if (set) set->Append(msg->data, msg->length);
    } else if (event == EvCancel) {
        if (set) set->ResetReceive();
        EndText(row.code, StatusCancelled);
    } else if (event == EvEnd) {
        EndText(row.code, StatusDone);
    }
}

void ProtocolEngine::OnPutFirst(int event) {
    const StateRow& row = RowOfState(Current());
    if (event == EvAck) {
        SetState(TransferNext(row.state));
        if (DataSet* set = TransferSet(row.transfer)) set->ResetSend();
        SendNextBlock(row.transfer, row.code);
    } else if (event == EvNak) {
        EndText(row.code, StatusNotAvailable);
    } else if (event == EvCancel) {
        EndText(row.code, StatusNotAllowed);
    } else if (event == EvReplyTimer) {
        Reset();
        Notify(row.code, StatusNoAnswer);
    }
}

void ProtocolEngine::OnPutSend(int event) {
    const StateRow& row = RowOfState(Current());
    if (event == EvAck) {
        SendNextBlock(row.transfer, row.code);
    } else if (event == EvNak) {
        SendText(Cancel, TimerOff);
        EndText(row.code, StatusRefused);
    } else if (event == EvCancel) {
        EndText(row.code, StatusCancelled);
    }
}

void ProtocolEngine::SendNextBlock(int transfer, int code) {
    DataSet* set = TransferSet(transfer);
    if (!set) {
        SendText(Cancel, TimerOff);
        return EndText(code, StatusRefused);
    }
    std::uint8_t block[TextPiece];
    int n = TextPiece;
    set->ReadNext(block, &n);
    n = std::clamp(n, 0, TextPiece);
    if (n > 0) return SendBlock(std::span(block, static_cast<std::size_t>(n)), TimerCommand);
    SendText(End, TimerOff);
    EndText(code, StatusDone);
}

}  // namespace commlib
