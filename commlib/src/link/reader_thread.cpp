// The reader thread: waits on the port and its queue together, feeds every
// received byte to the classifier and posts what it recognises to the
// protocol thread. Bytes reach the classifier as soon as the port has them.
#include "link/link_context.h"
#include "link/receive_classifier.h"

namespace commlib {
namespace {

// Posts the classifier's events to the protocol thread.
class ProtocolSink final : public ClassifierSink {
public:
    explicit ProtocolSink(LinkContext& ctx) : ctx_(ctx) {}
    bool EngineIdle() override { return ctx_.engine.StateNumber() == 0; }
    void Deliver(int event, std::unique_ptr<LinkMessage> msg) override {
        if (!msg) {
            PostLink(ctx_.protocolQueue, event, nullptr);
            return;
        }
        ctx_.receivedQueued.fetch_add(1);
        if (!PostLink(ctx_.protocolQueue, event, std::move(msg))) ctx_.receivedQueued.fetch_sub(1);
    }

private:
    LinkContext& ctx_;
};

// Handles one queue message; false on quit.
bool Handle(const platform::Message& m, ReceiveClassifier& classifier) {
    if (m.message == platform::MsgQuit) return false;
    if (m.message == MsgLink) {
        TakeLinkMessage(m);  // any message that came along is freed
        if (m.wParam == static_cast<std::uintptr_t>(EvDiscard)) classifier.Discard();
    }
    return true;
}

// After the port is gone only messages matter: wait for quit.
void DrainUntilQuit(LinkContext& ctx, ReceiveClassifier& classifier) {
    platform::Message m;
    while (ctx.readerQueue.get(m))
        if (!Handle(m, classifier)) return;
}

}  // namespace

void RunReader(LinkContext& ctx) {
    ctx.readerStarted.store(true);
    ReceiveClassifier classifier;
    ProtocolSink sink(ctx);
    std::uint8_t buf[4096];
    for (;;) {
        while (auto m = ctx.readerQueue.peek())
            if (!Handle(*m, classifier)) return;
        if (ctx.receivedQueued.load() >= MaxReceivedQueued) {
            // The protocol thread is behind: leave the bytes in the port until it catches up.
            if (auto m = ctx.readerQueue.wait(std::chrono::milliseconds(2)); m && !Handle(*m, classifier)) return;
            continue;
        }
        const platform::PortReady ready = ctx.port.waitReadable(ctx.readerQueue.wakeFd(), -1);
        // Messages first: a discard the engine asked for applies to every byte
        // read after it was posted.
        if (ready.other) continue;
        std::size_t n = 0;
        const platform::Status read = ready.port ? ctx.port.read(buf, sizeof buf, n) : platform::Status{};
        const bool failed = !ready.port || !read.ok();
        if (n > 0) {
            classifier.Feed(std::span(buf, n), sink);
        } else if (ready.hangup || (!read.ok() && platform::SerialPort::isGoneError(read.errorNumber()))) {
            // Bytes that came before the hang-up were read above; what is left
            // is a device that will never answer again.
            ReportLineGone(ctx);
            return DrainUntilQuit(ctx, classifier);
        } else if (failed) {
            // Anything else passes: retry after a short pause rather than spin,
            // still waking for quit.
            if (auto m = ctx.readerQueue.wait(std::chrono::milliseconds(10)); m && !Handle(*m, classifier)) return;
        }
    }
}

}  // namespace commlib
