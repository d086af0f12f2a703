// The open-row window, the spool file of minute rows and the seconds of a short measurement.
#include "stats/bucket_rows.h"

#include <cerrno>
#include <cstring>

namespace cli {
namespace {

StatTime floor_to(StatTime t, int width) {
    StatTime q = t / width;
    if (t % width < 0) --q;
    return q * width;
}

}  // namespace

BucketRow& RowWindow::at(StatTime t, std::uint8_t known, std::uint8_t on) {
    const StatTime b = t == kNoTime ? kNoTime : floor_to(t, width_);
    if (!open_.empty() && open_.back().bucket == b) return open_.back();  // the usual case
    if (!open_.empty()) {
        BucketRow& oldest = open_.front();
        // The rows before the first stamp become that stamp's.
        if (oldest.bucket == kNoTime && b != kNoTime) oldest.bucket = b;
        if (b == kNoTime || b < oldest.bucket) return oldest;
    }
    auto it = open_.begin();
    while (it != open_.end() && it->bucket < b) ++it;
    if (it != open_.end() && it->bucket == b) return *it;
    BucketRow row;
    row.bucket = b;
    row.signals_known = known;
    row.signals_end = row.signals_on = on & known;
    row.signals_off = static_cast<std::uint8_t>(~on & known);
    it = open_.insert(it, row);
    if (open_.size() > kOpenRows) {  // the new row is never the oldest here
        sink_(open_.front());
        open_.pop_front();
    }
    return *it;
}

void RowWindow::flush() {
    for (const BucketRow& r : open_) sink_(r);
    open_.clear();
}

RowSpool::~RowSpool() {
    if (file_ != nullptr) std::fclose(file_);
}

std::string RowSpool::open() {
    file_ = std::tmpfile();
    if (file_ == nullptr)
        return std::string("cannot make a temporary file for the per-minute rows: ") + std::strerror(errno);
    return "";
}

void RowSpool::add(const BucketRow& row) {
    if (file_ == nullptr || std::fwrite(&row, sizeof row, 1, file_) != 1) failed_ = true;
    else ++rows_;
}

bool RowSpool::rewind() {
    if (file_ == nullptr || failed_) return false;
    if (std::fflush(file_) != 0 || std::fseek(file_, 0, SEEK_SET) != 0) return failed_ = true, false;
    return true;
}

bool RowSpool::next(BucketRow& row) { return file_ != nullptr && std::fread(&row, sizeof row, 1, file_) == 1; }

void SecondRows::add(const BucketRow& row) {
    if (gave_up_) return;
    if (!rows_.empty() && row.bucket != kNoTime && rows_.front().bucket != kNoTime &&
        row.bucket - rows_.front().bucket >= kMaxSeconds) {
        gave_up_ = true;
        rows_.clear();
        rows_.shrink_to_fit();
        return;
    }
    rows_.push_back(row);
}

}  // namespace cli
