// The bounded line queue of the live view.
#include "live/live_line_queue.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace capstore {

void LiveLineQueue::PostLine(const char* text, std::size_t length, bool error) {
    LiveLine line{std::string(text, length), error};
    std::lock_guard lock(mutex_);
    if (lines_.size() >= capacity_) {
        lines_.pop_front();
        ++dropped_;
    }
    lines_.push_back(std::move(line));
}

void LiveLineQueue::PostEnd(int) {}

LiveLineQueue::Batch LiveLineQueue::take(std::size_t most) {
    Batch batch;
    std::lock_guard lock(mutex_);
    if (lines_.size() > most) {
        dropped_ += static_cast<long long>(lines_.size() - most);
        lines_.erase(lines_.begin(), lines_.end() - static_cast<std::ptrdiff_t>(most));
    }
    const std::size_t n = lines_.size();
    batch.lines.assign(std::make_move_iterator(lines_.begin()), std::make_move_iterator(lines_.begin() + n));
    lines_.erase(lines_.begin(), lines_.begin() + n);
    batch.dropped = dropped_;
    dropped_ = 0;
    return batch;
}

long long LiveLineQueue::take_dropped() {
    std::lock_guard lock(mutex_);
    return std::exchange(dropped_, 0);
}

void LiveLineQueue::clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
    dropped_ = 0;
}

std::size_t LiveLineQueue::waiting() const {
    std::lock_guard lock(mutex_);
    return lines_.size();
}

}  // namespace capstore
