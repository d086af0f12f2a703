// The live callback: runs on commlib's protocol thread and only hands the
// words on; the reading side does the work on its own thread.
#include "session/live_feed.h"

namespace cli {

void LiveFeed::on_live(void* context, int event, const void* data, unsigned count) {
    auto& feed = *static_cast<LiveFeed*>(context);
    switch (event) {
    case LiveInfo: feed.live_.SetInfo(static_cast<const std::uint8_t*>(data)); break;
    case LiveWords: feed.live_.Append(static_cast<const std::uint32_t*>(data), count); break;
    case LiveEnd:
        if (!feed.continuous_) feed.live_.Finish();
        break;
    case LiveBegin:
        if (feed.began_ && feed.continuous_) {
            const std::uint32_t outage = textlib::kGapLow;  // lost: how much is not known
            feed.live_.Append(&outage, 1);
        }
        feed.began_ = true;
        break;
    default: break;
    }
}

void LiveFeed::attach(Remote& remote) { remote.SetLiveRecords(on_live, this); }

}  // namespace cli
