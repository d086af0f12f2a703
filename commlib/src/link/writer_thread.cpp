// The writer thread: one write at a time, raw or as a SYN frame; reports each
// completed write to the protocol thread and ends at once on quit, even in
// the middle of a write that the line does not take.
#include <cstdint>

#include "link/framing.h"
#include "link/link_context.h"

namespace commlib {
namespace {

enum class WriteResult { Done, Failed, Gone, Quit };

WriteResult WriteAll(LinkContext& ctx, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        std::size_t n = 0;
        if (const platform::Status s = ctx.port.write(data, size, n); !s.ok())
            return platform::SerialPort::isGoneError(s.errorNumber()) ? WriteResult::Gone : WriteResult::Failed;
        data += n;
        size -= n;
        if (size == 0) break;
        // The line is not taking bytes (flow control, full queue): wait for it,
        // or for quit; other messages stay queued until this write is done.
        const platform::PortReady ready = ctx.port.waitWritable(ctx.writerQueue.quitFd(), -1);
        if (ready.other || ctx.writerQueue.quitPosted()) return WriteResult::Quit;
        if (ready.hangup && !ready.port) return WriteResult::Gone;
    }
    return WriteResult::Done;
}

}  // namespace

void RunWriter(LinkContext& ctx) {
    ctx.writerStarted.store(true);
    std::uint8_t frame[LinkMessage::Capacity];
    platform::Message m;
    while (ctx.writerQueue.get(m)) {
        if (m.message != MsgLink) continue;
        std::unique_ptr<LinkMessage> msg = TakeLinkMessage(m);
        if (!msg) continue;
        const std::uint8_t* data = msg->data;
        std::size_t size = static_cast<std::size_t>(msg->length);
        if (m.wParam == static_cast<std::uintptr_t>(WriteFrame)) {
            size = FrameSyn(msg->Bytes(), frame);
            data = frame;
            if (size == 0) continue;  // does not fit a frame: not written
        }
        const WriteResult result = WriteAll(ctx, data, size);
        if (result == WriteResult::Quit) return;
        // The port is gone for good: nothing more will reach the line.
        if (result == WriteResult::Gone) ReportLineGone(ctx);
        // A failed write leaves the message unsent; the engine's reply timer notices.
        if (result == WriteResult::Done) PostLink(ctx.protocolQueue, EvWriteDone, nullptr);
    }
}

}  // namespace commlib
