// The live view's hand-over between textlib's live conversion and the
// window: the conversion's thread posts lines, the GUI thread takes them in
// batches. The queue is bounded: when the window falls behind, the oldest
// waiting lines give way and are counted, so the conversion never waits and
// memory stays bounded (the buffer on disk keeps every record).
// Threads: PostLine and PostEnd on the conversion's thread; the rest on the GUI thread.
#pragma once
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "textlib/text_convert.h"

namespace capstore {

struct LiveLine {
    std::string text;
    bool error = false;  // a frame that ended in error, or lost data
};

class LiveLineQueue final : public TextLiveSink {
public:
    explicit LiveLineQueue(std::size_t capacity) : capacity_(capacity) {}

    void PostLine(const char* text, std::size_t length, bool error) override;
    void PostEnd(int code) override;

    struct Batch {
        std::vector<LiveLine> lines;  // oldest first
        long long dropped = 0;        // lines given up since the last take
    };
    // The newest `most` waiting lines at most; older ones waiting beyond
    // those are given up (and counted) too, so the view shows what is current.
    Batch take(std::size_t most);
    // The lines given up since the last take, which this counts as a take.
    long long take_dropped();
    // Forgets what waits and the counts (a new measurement).
    void clear();
    std::size_t waiting() const;

private:
    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::deque<LiveLine> lines_;
    long long dropped_ = 0;
};

}  // namespace capstore
