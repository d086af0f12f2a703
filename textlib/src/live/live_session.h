// The live conversion behind TextConvert's live slots: a thread of its own
// that runs the layout the options choose over live records and hands each
// line, with its error mark, to the caller's sink.
// Threads: Start and Stop on the owner's thread; Info and Words on the one
// thread that gets the measurement's words; the sink's calls on the session's.
#pragma once
#include <memory>
#include <mutex>
#include <thread>

#include "textlib/live_records.h"
#include "textlib/text_convert.h"

namespace textlib {

// Runs the conversion on the calling thread until the records finish; each
// line goes to `sink` as soon as it is complete. Returns the finished code.
int RunLiveLines(LiveRecords& live, const ConvertOptions& options, TextLiveSink& sink);

class LiveSession {
public:
    LiveSession() = default;
    ~LiveSession() { Stop(false); }
    LiveSession(const LiveSession&) = delete;
    LiveSession& operator=(const LiveSession&) = delete;

    bool Start(const ConvertOptions& options, TextLiveSink& sink);
    void Info(const std::uint8_t* body);
    void Words(const std::uint32_t* words, std::size_t count);
    void Stop(bool drain);

private:
    std::mutex mutex_;                      // guards records_ against the feeding thread
    std::shared_ptr<LiveRecords> records_;  // of the running conversion, or none
    std::thread thread_;
};

}  // namespace textlib
