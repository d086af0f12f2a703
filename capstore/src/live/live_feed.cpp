// The live callback and the start and end of the live conversion.
#include "live/live_feed.h"

namespace capstore {

void LiveFeed::on_live(void* context, int event, const void* data, unsigned count) {
    auto& feed = *static_cast<LiveFeed*>(context);
    if (event == LiveInfo) feed.convert_.LiveInfo(static_cast<const std::uint8_t*>(data));
    else if (event == LiveWords) feed.convert_.LiveWords(static_cast<const std::uint32_t*>(data), count);
}

bool LiveFeed::begin(const ConvertOptions& options) {
    end(false);
    queue_.clear();
    running_ = convert_.StartLive(&options, &queue_);
    return running_;
}

void LiveFeed::end(bool drain) {
    if (!running_) return;
    convert_.StopLive(drain);
    running_ = false;
}

}  // namespace capstore
