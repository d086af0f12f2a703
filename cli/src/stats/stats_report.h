// The stats as a table on the terminal and as JSON, both with the per-minute
// rows when asked for; the rows are streamed from their spool file, so a long
// measurement is never held whole.
//
// Errors: none; the caller checks its stream.
// Threads: any.
#pragma once
#include <cstdio>
#include <string>

#include "stats/bucket_rows.h"
#include "stats/line_stats.h"

namespace cli {

// What the report says about where the numbers come from.
struct StatsHeading {
    std::string buffer;
    std::string blocks;                  // "blocks 1..3 of 3", "a single data file"
    std::string date;                    // "2026-12-09", or empty when not known
    int start = 0, count = 0, held = 0;  // the block range (0: a single data file)
};

// `minutes`: the per-minute rows to add, or null.
void write_stats_table(std::FILE* out, const LineStats& s, const StatsHeading& h, RowSpool* minutes);
void write_stats_json(std::FILE* out, const LineStats& s, const StatsHeading& h, RowSpool* minutes);

// "1:02:03" for a span in seconds.
std::string duration_text(StatTime seconds);
// "10:04" for a minute row, "-" before the first stamp.
std::string minute_text(StatTime t);

}  // namespace cli
