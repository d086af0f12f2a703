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

platform::Status RowSpool::open() {
    file_ = std::tmpfile();
    if (file_ == nullptr) {
        const int error_number = errno;
        return platform::Status::failureWithMessage(
            "create", "", error_number,
            std::string("cannot make a temporary file for the per-minute rows: ") + std::strerror(error_number));
    }
    return {};
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

namespace {

// Rows before the first stamp come first.
bool before(const BucketRow& a, const BucketRow& b) {
    return a.bucket != b.bucket && (a.bucket == kNoTime || (b.bucket != kNoTime && a.bucket < b.bucket));
}

BucketRow joined(BucketRow words, const BucketRow& frames) {
    words.frames += frames.frames;
    words.chars[0] += frames.chars[0];
    words.chars[1] += frames.chars[1];
    words.errors += frames.errors;
    words.lost += frames.lost;
    return words;
}

// Merges two sources of rows in time order; `next` reads a row of a source.
template <typename A, typename B, typename Out>
void merge(A next_word, B next_frame, Out add) {
    BucketRow w, f;
    bool has_w = next_word(w), has_f = next_frame(f);
    while (has_w || has_f) {
        if (has_w && (!has_f || before(w, f))) {
            add(w);
            has_w = next_word(w);
        } else if (has_f && (!has_w || before(f, w))) {
            add(f);
            has_f = next_frame(f);
        } else {
            add(joined(w, f));
            has_w = next_word(w);
            has_f = next_frame(f);
        }
    }
}

}  // namespace

bool merge_rows(RowSpool& words, RowSpool& frames, RowSpool& out) {
    if (!words.rewind() || !frames.rewind()) return false;
    merge([&](BucketRow& r) { return words.next(r); }, [&](BucketRow& r) { return frames.next(r); },
          [&](const BucketRow& r) { out.add(r); });
    return !out.failed();
}

void merge_rows(const SecondRows& words, const SecondRows& frames, SecondRows& out) {
    if (words.gave_up() || frames.gave_up()) return out.give_up();
    std::size_t i = 0, j = 0;
    merge([&](BucketRow& r) { return i < words.rows().size() ? (r = words.rows()[i++], true) : false; },
          [&](BucketRow& r) { return j < frames.rows().size() ? (r = frames.rows()[j++], true) : false; },
          [&](const BucketRow& r) { out.add(r); });
}

}  // namespace cli
