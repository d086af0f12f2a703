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
} // namespace

void ProtocolEngine::endText(int code, int status) {
    setState(State::TextSession);
    notify(code, status);
}

void ProtocolEngine::onCommand(int event) {
    const int code = stateRow(current()).code;
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
            reset();
            return void(notify(ReqDisconnect, StatusDone));
        }
        if (event != EvReplyTimer) status = StatusRefused;
    }
    endText(code, status);
}

void ProtocolEngine::onGetFirst(int event, const LinkMessage* msg) {
    const StateRow& row = stateRow(current());
    DataSet* set = transferSet(row.transfer);
    if (event == EvAck || (event == EvLine && msg)) {
        setState(transferNext(row.state));
        if (set) set->ResetReceive();
        if (event == EvLine) {
            sendText(Ack, TimerOff);
            if (set) set->Append(msg->Data, msg->Length);
        }
    } else if (event == EvNak) {
        endText(row.code, StatusNotAvailable);
    } else if (event == EvCancel) {
        endText(row.code, StatusNotAllowed);
    } else if (event == EvReplyTimer) {
        reset();
        notify(row.code, StatusNoAnswer);
    }
}

void ProtocolEngine::onGetReceive(int event, const LinkMessage* msg) {
    const StateRow& row = stateRow(current());
    DataSet* set = transferSet(row.transfer);
    if (event == EvLine && msg) {
        sendText(Ack, TimerOff);
        if (set) set->Append(msg->Data, msg->Length);
    } else if (event == EvCancel) {
        if (set) set->ResetReceive();
        endText(row.code, StatusCancelled);
    } else if (event == EvEnd) {
        endText(row.code, StatusDone);
    }
}

void ProtocolEngine::onPutFirst(int event) {
    const StateRow& row = stateRow(current());
    if (event == EvAck) {
        setState(transferNext(row.state));
        if (DataSet* set = transferSet(row.transfer)) set->ResetSend();
        sendNextBlock(row.transfer, row.code);
    } else if (event == EvNak) {
        endText(row.code, StatusNotAvailable);
    } else if (event == EvCancel) {
        endText(row.code, StatusNotAllowed);
    } else if (event == EvReplyTimer) {
        reset();
        notify(row.code, StatusNoAnswer);
    }
}

void ProtocolEngine::onPutSend(int event) {
    const StateRow& row = stateRow(current());
    if (event == EvAck) {
        sendNextBlock(row.transfer, row.code);
    } else if (event == EvNak) {
        sendText(Cancel, TimerOff);
        endText(row.code, StatusRefused);
    } else if (event == EvCancel) {
        endText(row.code, StatusCancelled);
    }
}

void ProtocolEngine::sendNextBlock(int transfer, int code) {
    DataSet* set = transferSet(transfer);
    if (!set) {
        sendText(Cancel, TimerOff);
        return endText(code, StatusRefused);
    }
    std::uint8_t block[TextPiece];
    int n = TextPiece;
    set->ReadNext(block, &n);
    n = std::clamp(n, 0, TextPiece);
    if (n > 0) return sendBlock(std::span(block, static_cast<std::size_t>(n)), TimerCommand);
    sendText(End, TimerOff);
    endText(code, StatusDone);
}

} // namespace commlib
