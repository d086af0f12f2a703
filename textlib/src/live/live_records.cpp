// The live record store: a queue of words indexed from the measurement's
// first word, with waiting reads.
#include "textlib/live_records.h"

#include <algorithm>

namespace textlib {

void LiveRecords::SetInfo(const std::uint8_t* body) {
    {
        std::lock_guard lock(mutex_);
        if (hasInfo_) return;
        std::copy_n(body, pcbuffer::kInfoBodySize, body_.begin());
        hasInfo_ = true;
    }
    arrived_.notify_all();
}

void LiveRecords::Append(const std::uint32_t* words, std::size_t count) {
    {
        std::lock_guard lock(mutex_);
        words_.insert(words_.end(), words, words + count);
    }
    arrived_.notify_all();
}

void LiveRecords::Finish() {
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    arrived_.notify_all();
}

void LiveRecords::Abandon() {
    {
        std::lock_guard lock(mutex_);
        abandoned_ = finished_ = true;
    }
    arrived_.notify_all();
}

bool LiveRecords::Abandoned() const {
    std::lock_guard lock(mutex_);
    return abandoned_;
}

std::int64_t LiveRecords::Received() const {
    std::lock_guard lock(mutex_);
    return base_ + static_cast<std::int64_t>(words_.size());
}

bool LiveRecords::WaitInfo(Body& body) {
    std::unique_lock lock(mutex_);
    arrived_.wait(lock, [this] { return hasInfo_ || finished_; });
    if (!hasInfo_ || abandoned_) return false;
    body = body_;
    return true;
}

std::uint32_t LiveRecords::Read(std::int64_t index) {
    std::unique_lock lock(mutex_);
    if (index < base_) return 0;  // let go of: reads as no data
    bool flushed = false;
    while (!abandoned_ && index >= base_ + static_cast<std::int64_t>(words_.size())) {
        if (finished_) return 0;
        if (!flushed && beforeWait_) {
            // Everything the words so far make goes out before we sleep.
            lock.unlock();
            const bool ok = beforeWait_();
            lock.lock();
            flushed = true;
            if (!ok) abandoned_ = finished_ = true;
            continue;
        }
        arrived_.wait(lock);
    }
    if (abandoned_) return 0;
    return words_[static_cast<std::size_t>(index - base_)];
}

void LiveRecords::DropBefore(std::int64_t index) {
    std::lock_guard lock(mutex_);
    const std::int64_t n = std::min<std::int64_t>(index - base_, static_cast<std::int64_t>(words_.size()));
    if (n <= 0) return;
    words_.erase(words_.begin(), words_.begin() + n);
    base_ += n;
}

}  // namespace textlib
