// `zamvex stats --svg`: the traffic of each direction per minute (per second
// for a measurement of up to ten minutes) as an SVG chart, with error and
// data-loss marks and the on/off bands of the recorded line signals under it,
// labelled with the times. Every bar carries its minute and count
// (data-minute, data-count) and a tooltip.
//
// Errors: the file's Status (success, or one line naming the file and the
// reason); a failed chart leaves no file.
// Threads: the calling thread.
#pragma once
#include <string>

#include "platform/status.h"

#include "stats/stats_pass.h"
#include "stats/stats_report.h"

namespace cli {

platform::Status write_traffic_chart(const std::string& path, StatsResult& result, const StatsHeading& heading);

}  // namespace cli
