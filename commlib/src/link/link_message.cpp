// Building heap link messages from byte strings (engine sends, tests).
#include "link/link_message.h"

namespace commlib {

std::unique_ptr<LinkMessage> MakeMessage(int framing, std::span<const std::uint8_t> bytes) {
    auto msg = std::make_unique<LinkMessage>(framing);
    msg->Append(bytes);
    return msg;
}

std::unique_ptr<LinkMessage> MakeMessage(int framing, std::string_view text) {
    auto msg = std::make_unique<LinkMessage>(framing);
    msg->Append(text);
    return msg;
}

}  // namespace commlib
