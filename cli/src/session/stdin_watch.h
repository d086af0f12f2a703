// The end of stdin as a stop: Wireshark's sshdump runs a remote capture over
// an SSH channel without a terminal and never signals it, so the channel
// closing (the end of stdin) is how the capture learns that nobody watches
// any more, even on a silent line. What comes on stdin is read and dropped.
// A stdin that is /dev/null or closed is not watched (it would end at once).
//
// Errors: none. Threads: the main thread.
#pragma once

namespace cli {

class StdinWatch {
public:
    StdinWatch();
    // True once stdin has ended (end of file, hang-up); never waits.
    bool ended();

private:
    bool watching_ = false;
    bool ended_ = false;
};

}  // namespace cli
