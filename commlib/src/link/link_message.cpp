// Building heap link messages from byte strings (engine sends, tests).
#include "link/link_message.h"

namespace commlib {

std::unique_ptr<LinkMessage> makeMessage(int framing, std::span<const std::uint8_t> bytes) {
    auto msg = std::make_unique<LinkMessage>(framing);
    msg->append(bytes);
    return msg;
}

std::unique_ptr<LinkMessage> makeMessage(int framing, std::string_view text) {
    auto msg = std::make_unique<LinkMessage>(framing);
    msg->append(text);
    return msg;
}

} // namespace commlib
