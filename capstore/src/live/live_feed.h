// Runs textlib's live conversion beside a measurement: commlib's live
// callback hands the measurement's information and words to the conversion
// object's live slots, and the conversion's lines go to the view's queue.
// Threads: begin and end on the GUI thread; on_live on commlib's protocol
// thread, where it only passes the words on (the slots never wait).
#pragma once
#include "commlib/remote.h"
#include "live/live_line_queue.h"
#include "textlib/text_convert.h"

namespace capstore {

class LiveFeed {
public:
    LiveFeed(TextConvert& convert, LiveLineQueue& queue) : convert_(convert), queue_(queue) {}
    ~LiveFeed() { end(false); }
    LiveFeed(const LiveFeed&) = delete;
    LiveFeed& operator=(const LiveFeed&) = delete;

    // Sets the Remote's live callback; call before the first connect.
    void attach(Remote& remote) { remote.SetLiveRecords(on_live, this); }
    // Before a measurement starts: a new conversion in the layout of
    // `options`; false when textlib could not start one.
    bool begin(const ConvertOptions& options);
    // After the measurement: with `drain` the lines of every word received
    // go to the queue first.
    void end(bool drain);
    bool running() const { return running_; }

private:
    static void on_live(void* context, int event, const void* data, unsigned count);

    TextConvert& convert_;
    LiveLineQueue& queue_;
    bool running_ = false;
};

}  // namespace capstore
