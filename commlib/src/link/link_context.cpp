// Handing link messages between threads: one owner at a time, freed by the
// queue when nobody takes them.
#include "link/link_context.h"

namespace commlib {

void DisposeLinkMessage(std::intptr_t lParam) { delete reinterpret_cast<LinkMessage*>(lParam); }

bool PostLink(platform::MessageQueue& queue, int wParam, std::unique_ptr<LinkMessage> msg) {
    platform::Message m{MsgLink, static_cast<std::uintptr_t>(wParam), reinterpret_cast<std::intptr_t>(msg.get()),
                        DisposeLinkMessage};
    if (!queue.post(m)) return false;  // msg still owns it and frees it
    msg.release();
    return true;
}

void ReportLineGone(LinkContext& ctx) {
    if (!ctx.lineGone.exchange(true)) PostLink(ctx.protocolQueue, EvLineGone, nullptr);
}

std::unique_ptr<LinkMessage> TakeLinkMessage(const platform::Message& m) {
    return std::unique_ptr<LinkMessage>(reinterpret_cast<LinkMessage*>(m.lParam));
}

}  // namespace commlib
