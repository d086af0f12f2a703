// Handing link messages between threads: one owner at a time, freed by the
// queue when nobody takes them.
#include "link/link_context.h"

namespace commlib {

void disposeLinkMessage(std::intptr_t lParam) { delete reinterpret_cast<LinkMessage*>(lParam); }

bool postLink(platform::MessageQueue& queue, int wParam, std::unique_ptr<LinkMessage> msg) {
    platform::Message m{MsgLink, static_cast<std::uintptr_t>(wParam),
                        reinterpret_cast<std::intptr_t>(msg.get()), disposeLinkMessage};
    if (!queue.post(m)) return false;   // msg still owns it and frees it
    msg.release();
    return true;
}

void reportLineGone(LinkContext& ctx) {
    if (!ctx.lineGone.exchange(true)) postLink(ctx.protocolQueue, EvLineGone, nullptr);
}

std::unique_ptr<LinkMessage> takeLinkMessage(const platform::Message& m) {
    return std::unique_ptr<LinkMessage>(reinterpret_cast<LinkMessage*>(m.lParam));
}

} // namespace commlib
