// The analyzer served on a real pseudo-terminal: a program opens the slave
// path like a serial port and talks to it; the server stops on request.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "link/framing.h"
#include "simulator/pty_server.h"

namespace simulator {
namespace {

class Port {
public:
    explicit Port(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY)) {
        termios t{};
        if (fd_ >= 0 && ::tcgetattr(fd_, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(fd_, TCSANOW, &t);
        }
    }
    ~Port() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool open() const { return fd_ >= 0; }
    void write(const std::string& s) { ASSERT_EQ(::write(fd_, s.data(), s.size()), static_cast<ssize_t>(s.size())); }
    // Reads until `count` bytes came or five generous seconds passed.
    std::string read(std::size_t count) {
        std::string got;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (got.size() < count && std::chrono::steady_clock::now() < end) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            char buf[256];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n > 0) got.append(buf, static_cast<std::size_t>(n));
        }
        return got;
    }

private:
    int fd_;
};

TEST(PtyServer, AnswersOnTheSlavePathUntilStopped) {
    AnalyzerOptions o;
    o.model = Model::Rv7010;
    PtyServer server(o);
    EXPECT_EQ(server.slave_path().rfind("/dev/pts/", 0), 0u);
    std::atomic<bool> stop{false};
    std::thread serving([&] { server.run(stop); });
    {
        Port port(server.slave_path());
        ASSERT_TRUE(port.open());
        port.write("###");
        EXPECT_EQ(port.read(1), "*");
        port.write("%T0\r\n");
        EXPECT_EQ(port.read(15), "*RV-7010 1.05\r\n");
    }
    // A second program after the first closed the port finds the analyzer still there.
    {
        Port port(server.slave_path());
        port.write("###");
        EXPECT_EQ(port.read(1), "*");
    }
    stop = true;
    serving.join();
}

std::string frame(const std::vector<std::uint8_t>& packet) {
    const auto bytes = commlib::SynFrame(packet);
    return std::string(bytes.begin(), bytes.end());
}

TEST(PtyServer, TypedKeysReachThePanelAndAreReportedToThePc) {
    PtyServer server(AnalyzerOptions{});
    int keys[2];
    ASSERT_EQ(::pipe(keys), 0);
    std::atomic<bool> stop{false};
    std::thread serving([&] { server.run(stop, keys[0]); });
    {
        Port port(server.slave_path());
        ASSERT_TRUE(port.open());
        port.write("###%@X\r\n");
        EXPECT_EQ(port.read(2), "**");
        // Subscribe to the panel keys; the answer echoes the entry.
        port.write(frame({'0', 0}) + frame({'@', 0, 3, '3', 0x20, 0x0C, 1}));
        const std::string answer = frame({'A', 0, 3, '3', 0x20, 0x0C, 1});
        EXPECT_EQ(port.read(answer.size()), answer);
        ASSERT_EQ(::write(keys[1], "NOKEY\nShift+Up\n", 16), 16);
        const std::string report = frame({'2', 0, 0x20, 0x0C, 128 + 18});
        EXPECT_EQ(port.read(report.size()), report);
    }
    ::close(keys[1]);  // the end of the typed keys does not end the line
    {
        Port port(server.slave_path());
        port.write(frame({'@', 1, 2, '4', 0x01, 0x00}));
        const std::string answer = frame({'A', 1, 2, '4', 0x01, 0x00, 1, 1});
        EXPECT_EQ(port.read(answer.size()), answer);
    }
    stop = true;
    serving.join();
    ::close(keys[0]);
}

}  // namespace
}  // namespace simulator
