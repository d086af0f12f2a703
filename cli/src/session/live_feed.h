// Connects commlib's live record callback to a store of live records, from
// which a conversion or a packet stream reads while the measurement runs.
#pragma once
#include "commlib/remote.h"
#include "textlib/live_records.h"

namespace cli {

// The information body and the words of one measurement go into `live`, and
// its end (or a link reset) finishes it. A continuous feed takes the
// measurements of a capture that resumes after outages as one: their ends do
// not finish the records, and each later start puts a gap mark (count 0)
// before its words, as the PC buffer gets it.
// Threads: attach on the main thread; the callback runs on commlib's protocol
// thread, of one session at a time.
class LiveFeed {
public:
    LiveFeed(textlib::LiveRecords& live, bool continuous) : live_(live), continuous_(continuous) {}
    // Sets the Remote's live callback; `live` and this feed must outlive its session.
    void attach(Remote& remote);

private:
    static void on_live(void* context, int event, const void* data, unsigned count);

    textlib::LiveRecords& live_;
    bool continuous_;
    bool began_ = false;  // a measurement began before
};

}  // namespace cli
