// The record words of a running measurement as they arrive, for a conversion
// that runs while the measurement lasts. The producer (the thread that gets
// the words) appends; the one consumer reads by record index and waits when
// it reaches the newest word, so every layout runs unchanged over it.
//
// Errors: none; Abandon ends a reader's wait when the consumer gives up.
// Threads: one producer thread appends, one consumer thread reads; Abandon from
// any.
#pragma once
#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

#include "textlib/buffer_format.h"

namespace textlib {

class LiveRecords {
public:
    using Body = std::array<std::uint8_t, pcbuffer::kInfoBodySize>;

    // Producer side, any thread. The first information body is the one the
    // conversion uses (its measurement conditions do not change while it runs).
    void SetInfo(const std::uint8_t* body);
    void Append(const std::uint32_t* words, std::size_t count);
    // No more words come: reads past the last word give 0, the end of data.
    void Finish();

    // Consumer side, one thread. Waits for the information body; false when
    // the records finished without one.
    bool WaitInfo(Body& body);
    // The word at `index`, waiting until it has arrived; 0 once the records
    // finished (or were abandoned) before it.
    std::uint32_t Read(std::int64_t index);
    // Words before `index` are never read again and may be let go.
    void DropBefore(std::int64_t index);
    // Called (without the lock) each time a read is about to wait, so that
    // what was made of the words so far can be flushed out; a false result
    // abandons the records (the reader then sees the end of data).
    void SetBeforeWait(std::function<bool()> hook) { beforeWait_ = std::move(hook); }
    // Ends the consumer's reads at once, from any thread (the output is gone).
    void Abandon();
    bool Abandoned() const;
    // Words appended so far.
    std::int64_t Received() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::uint32_t> words_;
    std::int64_t base_ = 0;  // record index of words_.front()
    Body body_{};
    bool hasInfo_ = false;
    bool finished_ = false;
    bool abandoned_ = false;
    std::function<bool()> beforeWait_;
};

}  // namespace textlib
