// The protocol thread: the 200 ms timer, and the loop that hands requests,
// link events and ticks to the engine. DTR and RTS are up while it runs.
#include "link/link_context.h"
#include "platform/ticks.h"

namespace commlib {
namespace {

// Waits, 10 ms at a time, until flag is set; false when quit came first.
bool AwaitStarted(const std::atomic<bool>& flag, platform::MessageQueue& queue) {
    while (!flag.load()) {
        if (queue.quitPosted()) return false;
        platform::sleepMs(10);
    }
    return true;
}

void Dispatch(LinkContext& ctx, const platform::Message& m) {
    switch (m.message) {
    case platform::MsgTimer: ctx.engine.Tick(); break;
    case MsgLink: {
        std::unique_ptr<LinkMessage> msg = TakeLinkMessage(m);
        if (msg) ctx.receivedQueued.fetch_sub(1);  // only the reader posts messages here
        ctx.engine.LinkEvent(static_cast<int>(m.wParam), std::move(msg));
        break;
    }
    case MsgRequest:
        ctx.engine.Request(static_cast<int>(m.wParam & 0xFFFF), static_cast<int>((m.wParam >> 16) & 0xFFFF), m.lParam);
        ctx.requestAccepted.set();
        break;
    case MsgResetLink:
        ctx.engine.Reset();
        ctx.resetDone.set();
        break;
    default: break;
    }
}

}  // namespace

void RunProtocol(LinkContext& ctx) {
    ctx.protocolQueue.setTimer(ProtocolTimerId, std::chrono::milliseconds(ProtocolTickMs));
    const bool ready =
        AwaitStarted(ctx.writerStarted, ctx.protocolQueue) && AwaitStarted(ctx.readerStarted, ctx.protocolQueue);
    if (ready) {
        ctx.linesRaised = ctx.port.setDtr(true);
        if (ctx.linesRaised.ok()) ctx.linesRaised = ctx.port.setRts(true);
    }
    ctx.protocolStarted.set();
    if (!ready || !ctx.linesRaised.ok()) return;
    platform::Message m;
    while (ctx.protocolQueue.get(m)) Dispatch(ctx, m);
    // Dropping the lines as the link ends can only fail for a device that is
    // gone: there is nothing left to tell.
    (void)ctx.port.setRts(false);
    (void)ctx.port.setDtr(false);
    ctx.protocolQueue.killTimer(ProtocolTimerId);
}

}  // namespace commlib
