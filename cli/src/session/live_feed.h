// Connects commlib's live record callback to a store of live records, from
// which a conversion or a packet stream reads while the measurement runs.
#pragma once
#include "commlib/remote.h"
#include "textlib/live_records.h"

namespace cli {

// Sets the Remote's live callback: the information body and the words of one
// measurement go into `live`, and its end (or a link reset) finishes it.
// `live` must outlive the Remote's session.
void feed_live_records(Remote& remote, textlib::LiveRecords& live);

}  // namespace cli
