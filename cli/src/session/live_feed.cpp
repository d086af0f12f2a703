// The live callback: runs on commlib's protocol thread and only hands the
// words on; the reading side does the work on its own thread.
#include "session/live_feed.h"

namespace cli {
namespace {

void on_live(void* context, int event, const void* data, unsigned count) {
    auto& live = *static_cast<textlib::LiveRecords*>(context);
    switch (event) {
    case LiveInfo: live.SetInfo(static_cast<const std::uint8_t*>(data)); break;
    case LiveWords: live.Append(static_cast<const std::uint32_t*>(data), count); break;
    case LiveEnd: live.Finish(); break;
    default: break;  // LiveBegin: the store is new for this measurement
    }
}

}  // namespace

void feed_live_records(Remote& remote, textlib::LiveRecords& live) { remote.SetLiveRecords(on_live, &live); }

}  // namespace cli
