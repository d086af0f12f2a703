// The per-minute (or per-second) rows of a stats pass, bounded whatever the
// buffer's size: a few rows stay open, since a frame is counted at the time
// stamp that opened it, which the record walk may have passed already; older
// rows go to a sink in time order. The minute rows' sink is a temporary file
// (RowSpool), the seconds' a short list that gives up past kMaxSeconds.
#pragma once
#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/status.h"
#include "stats/line_stats.h"

namespace cli {

class RowWindow {
public:
    using Sink = std::function<void(const BucketRow&)>;
    RowWindow(int width, Sink sink) : width_(width), sink_(std::move(sink)) {}

    // The row holding time `t` (kNoTime: before the first stamp; such a row
    // becomes the first stamp's). A time before the oldest open row counts in
    // that row. `known`/`on`: the signals' state, for a row opened now.
    BucketRow& at(StatTime t, std::uint8_t known, std::uint8_t on);
    // Sends every open row on; the window is empty afterwards.
    void flush();

private:
    static constexpr std::size_t kOpenRows = 4;
    int width_;
    Sink sink_;
    std::deque<BucketRow> open_;
};

// Rows written to an unnamed temporary file and read back in order.
class RowSpool {
public:
    RowSpool() = default;
    ~RowSpool();
    RowSpool(const RowSpool&) = delete;
    RowSpool& operator=(const RowSpool&) = delete;

    // Makes the file; a failed Status (with the errno) when it cannot.
    platform::Status open();
    void add(const BucketRow& row);
    std::int64_t size() const { return rows_; }
    // Reads the rows from the first on; false when they cannot be read.
    bool rewind();
    bool next(BucketRow& row);
    bool failed() const { return failed_; }

private:
    std::FILE* file_ = nullptr;
    std::int64_t rows_ = 0;
    bool failed_ = false;
};

// The seconds of a short measurement, for its chart: given up (emptied) once
// they would span more than kMaxSeconds.
class SecondRows {
public:
    static constexpr StatTime kMaxSeconds = 600;
    void add(const BucketRow& row);
    bool usable() const { return !gave_up_ && !rows_.empty(); }
    bool gave_up() const { return gave_up_; }
    void give_up() {
        gave_up_ = true;
        rows_.clear();
    }
    const std::vector<BucketRow>& rows() const { return rows_; }

private:
    std::vector<BucketRow> rows_;
    bool gave_up_ = false;
};

// The rows of the word walk and of the frame count as one list in time
// order, a bucket that both have made one row (`words` brings the signals).
// False when a spool could not be read back.
bool merge_rows(RowSpool& words, RowSpool& frames, RowSpool& out);
void merge_rows(const SecondRows& words, const SecondRows& frames, SecondRows& out);

}  // namespace cli
