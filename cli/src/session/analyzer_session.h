// One connection to the analyzer through commlib's Remote object: open the
// port, connect, issue requests one at a time and wait for their outcome on
// the main thread, then disconnect and close. Every wait has a deadline.
#pragma once
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "commlib/remote.h"
#include "platform/status.h"
#include "session/notify_queue.h"

namespace cli {

inline constexpr int kNoNotification = -1000;  // call(): the outcome never came
inline constexpr int kLinkLost = -1001;        // call(): the link was lost meanwhile (port closed)

struct PortChoice {
    std::string port;  // "COM3", "/dev/ttyUSB0", a simulator's pty
    int speed = 115200;
    int parity = 0;                // 0 none, 1 odd, 2 even
    std::vector<int> search = {};  // speeds to try in turn, one connect each (--speed auto); empty: `speed` only
};

class AnalyzerSession {
public:
    AnalyzerSession();
    ~AnalyzerSession();  // disconnects if still connected, closes, releases
    AnalyzerSession(const AnalyzerSession&) = delete;
    AnalyzerSession& operator=(const AnalyzerSession&) = delete;

    // Initialize and Open (at the search's first speed, with one); a failure
    // when the port cannot be used (the device, the system's errno and the
    // text with what to do, in message()).
    platform::Status open(const PortChoice& port, const BufferSettings* buffer = nullptr);
    // The connect request and the checks the programs make after it: packet
    // mode when asked for, and an analyzer that is not measuring. On failure
    // the session is already disconnected and the text says why. With a
    // search, each speed gets one connect (the library's own timeout) until
    // one answers; that one is said on the report stream and kept in port().
    std::optional<std::string> connect(bool need_packet_mode, bool refuse_measuring);
    // The port as opened: after a search, the speed that answered and no
    // search, so that opening it again reaches the same analyzer at once.
    const PortChoice& port() const { return port_; }
    // Where a search says what it found (stderr unless changed; null: nowhere).
    void set_report(std::FILE* to) { report_ = to; }

    // Issues a request and waits for its notification; notifications with other
    // codes meanwhile go to the observer. The status, or kNoNotification.
    int call(int code, int param = 0, std::chrono::milliseconds limit = std::chrono::seconds(30));
    // The next notification of any kind (the observer does not see it).
    std::optional<Note> next(std::chrono::milliseconds limit);
    // No wait of call() or next() goes past this point in time.
    void set_deadline(std::chrono::steady_clock::time_point deadline) { deadline_ = deadline; }
    // The NtfyLinkLost status once the link was lost (the port is closed then), else -1.
    int link_lost() const { return link_lost_; }
    // The last failure was the line's (the port would not open, the link was
    // lost, the analyzer did not answer), not the analyzer saying no.
    bool line_failed() const { return line_failed_; }
    // The data value of the notification that the last call() returned.
    std::intptr_t last_data() const { return last_data_; }
    void set_observer(std::function<void(const Note&)> observer) { observer_ = std::move(observer); }

    // ReqDisconnect (when connected), then Close.
    void disconnect();
    // How setxfer ends an operation: the setup is read once more, then the disconnect.
    void finish_operation();

    Remote& remote() { return *remote_; }
    NotifyQueue& queue() { return queue_; }
    std::string model_name();
    bool connected() const { return connected_; }

private:
    platform::Status open_at(int speed);
    int connect_searching();

    NotifyQueue queue_;
    Remote* remote_ = nullptr;
    std::string device_;
    PortChoice port_;
    std::optional<BufferSettings> buffer_;  // a copy of open()'s, with its folder in folder_
    std::string folder_;
    std::vector<int> tried_;  // the speeds the last connect tried
    std::FILE* report_ = stderr;
    bool port_failed_ = false;
    bool line_failed_ = false;
    int link_lost_ = -1;
    std::chrono::steady_clock::time_point deadline_ = std::chrono::steady_clock::time_point::max();
    bool connected_ = false;
    std::intptr_t last_data_ = 0;
    std::function<void(const Note&)> observer_;
};

// What the user reads when the link was lost (a NtfyLinkLost status).
std::string link_lost_text(int status);

// "RV-7020 1.05 (packet mode)" and so on, for the command's first line of output.
std::string describe_analyzer(AnalyzerSession& session);
// "RV-7020 1.05": the model and firmware version alone.
std::string name_and_version(AnalyzerSession& session);

}  // namespace cli
