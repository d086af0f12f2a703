// The reader thread beside the capture sequence, and the hand-over at the end.
#include "commands/live_job.h"

#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "session/live_feed.h"

namespace cli {

LiveResult run_live(CaptureJob job, LiveReader reader) {
    // Shared with the thread: a reader stuck on a full pipe is left behind at
    // the end rather than waited for, and must still find its records.
    auto live = std::make_shared<textlib::LiveRecords>();
    std::packaged_task<platform::Status()> task([live, reader = std::move(reader)] { return reader(*live); });
    std::future<platform::Status> done = task.get_future();
    std::thread thread(std::move(task));

    auto feed = std::make_shared<LiveFeed>(*live, job.resume);
    job.attach = [live, feed](Remote& remote) { feed->attach(remote); };
    job.stop_check = [live, also = job.stop_check]() -> std::string {
        if (live->Abandoned()) return kOutputClosed;
        return also ? also() : "";
    };
    LiveResult r;
    r.capture = run_capture(job);
    live->Finish();
    // What the last words make goes out now; a reader whose output does not
    // drain within a second is not waited for (the program ends all the same).
    if (done.wait_for(std::chrono::seconds(1)) == std::future_status::ready) {
        thread.join();
        r.output = done.get();
    } else {
        thread.detach();
        r.output = platform::Status::failureWithMessage("write", "the output", 0,
                                                        "the output did not take the last data in time");
    }
    return r;
}

}  // namespace cli
