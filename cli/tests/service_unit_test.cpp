// The capture service as systemd runs it: the ExecStart line of
// dist/systemd/zamvex-capture@.service, its instance naming a simulator's
// --link path, run with NOTIFY_SOCKET (a socket of the test), WATCHDOG_USEC,
// STATE_DIRECTORY and JOURNAL_STREAM set as the service manager sets them.
// The manager hears READY=1, STATUS= and WATCHDOG=1 and at the end
// STOPPING=1; every line on stderr carries its priority; a bad settings file
// stops the command at once (exit 2, which the unit does not restart).
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <filesystem>
#include <sstream>

#include "process_util.h"
#include "testing/temp_dir.h"

namespace cli_test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// The unit's ExecStart words for a port, with the settings folder and the
// program of this build in place of the installed ones.
std::vector<std::string> exec_start(const std::string& port, const std::string& conf_folder) {
    std::istringstream unit(read_text(ZAMVEX_DIST "/systemd/zamvex-capture@.service"));
    std::string line;
    while (std::getline(unit, line) && line.rfind("ExecStart=", 0) != 0) {}
    const Outcome escaped = run_program("/usr/bin/systemd-escape", {"--path", port}, 10s);
    std::string instance = escaped.out.substr(0, escaped.out.find('\n'));
    std::vector<std::string> words;
    std::istringstream in(line.substr(10));
    for (std::string w; in >> w;) {
        auto replace = [&w](const std::string& from, const std::string& to) {
            for (auto at = w.find(from); at != std::string::npos; at = w.find(from, at + to.size()))
                w.replace(at, from.size(), to);
        };
        replace("/etc/zamvex/capture", conf_folder);
        replace("%i", instance);
        replace("%I", port.substr(1));  // what systemd unescapes the instance to
        words.push_back(w);
    }
    EXPECT_EQ(words.at(0), "zamvex");
    words.erase(words.begin());  // the program: this build's
    return words;
}

// The service manager's end of NOTIFY_SOCKET.
class NotifySocket {
public:
    explicit NotifySocket(const std::string& path) : fd_(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        std::snprintf(a.sun_path, sizeof a.sun_path, "%s", path.c_str());
        EXPECT_EQ(bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    }
    ~NotifySocket() { close(fd_); }
    // Collects messages until one holds `part`; false after `limit`.
    bool wait_for(const std::string& part, std::chrono::seconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (all.find(part) == std::string::npos) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd p{fd_, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) != 1) return false;
            char message[4096];
            const ssize_t n = recv(fd_, message, sizeof message, 0);
            if (n > 0) all += std::string(message, static_cast<std::size_t>(n)) + "\n--\n";
        }
        return true;
    }
    std::string all;  // every message, each followed by "--"

private:
    int fd_;
};

std::string journal_stream_of(const std::string& file) {
    struct stat st {};
    stat(file.c_str(), &st);
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

TEST(ServiceUnit, ItsCommandLineTellsTheServiceManagerAndTheJournal) {
    if (!fs::exists("/usr/bin/systemd-escape")) GTEST_SKIP() << "systemd is not installed";
    testing_util::TempDir dir;
    const std::string link = dir.file("rv7020"), state = dir.file("state"), err = dir.file("err");
    fs::create_directories(dir.file("capture"));
    fs::create_directories(state);
    Simulator sim({"--link", link, "--rate", "500"});
    const auto args = exec_start(link, dir.file("capture"));
    testing_util::write_file(args.at(3), "# a test\nspeed = 115200\nmax-blocks = 8\nring = yes\nkeep-free = 1M\n");
    NotifySocket manager(dir.file("notify"));
    const ScopedEnv notify("NOTIFY_SOCKET", dir.file("notify")), watchdog("WATCHDOG_USEC", "4000000"),
        state_dir("STATE_DIRECTORY", state), runtime("XDG_RUNTIME_DIR", dir.path());
    testing_util::write_file(err, "");
    const ScopedEnv journal("JOURNAL_STREAM", journal_stream_of(err));
    Background service(args, dir.file("out"), err);
    EXPECT_TRUE(manager.wait_for("READY=1\nSTATUS=measuring: ", 30s)) << manager.all << read_text(err);
    EXPECT_TRUE(manager.wait_for("WATCHDOG=1", 10s)) << manager.all;
    // The buffer goes to the service's own folder.
    EXPECT_TRUE(eventually([&] { return fs::exists(state + "/datainfo.mkw"); }, 10s));
    service.signal(SIGTERM);
    EXPECT_EQ(service.wait(30s), 0) << read_text(err);
    EXPECT_TRUE(manager.wait_for("STOPPING=1\nSTATUS=stopped: RV-7020 1.05 (packet mode): stopped by SIGTERM", 5s))
        << manager.all;
    const std::string log = read_text(err);
    EXPECT_EQ(log.rfind("<6>zamvex capture: started: RV-7020 1.05 (packet mode) on " + link + " into " + state, 0), 0u)
        << log;
    EXPECT_NE(log.find("\n<6>zamvex capture: RV-7020 1.05 (packet mode): stopped by SIGTERM; "), std::string::npos)
        << log;
    EXPECT_EQ(count_of(log, "\n"), count_of(log, "\n<") + 1) << "a line without a priority:\n" << log;
    EXPECT_EQ(read_text(dir.file("out")), "");  // the summary went to the journal, once
}

TEST(ServiceUnit, ABadSettingsFileStopsItAtOnceNamingFileLineAndSetting) {
    if (!fs::exists("/usr/bin/systemd-escape")) GTEST_SKIP() << "systemd is not installed";
    testing_util::TempDir dir;
    fs::create_directories(dir.file("capture"));
    const auto args = exec_start("/dev/ttyUSB9", dir.file("capture"));
    const std::string conf = args.at(3), err = dir.file("err");
    testing_util::write_file(err, "");
    const ScopedEnv journal("JOURNAL_STREAM", journal_stream_of(err));

    const Outcome missing = zamvex(args);
    EXPECT_EQ(missing.exit_code, 2);
    EXPECT_EQ(missing.err.rfind(
                  "zamvex capture: cannot read the settings file '" + conf + "': No such file or directory\n", 0),
              0u)
        << missing.err;

    testing_util::write_file(conf, "speed = 115200\nmax-block = 8\n");
    Background bad(args, dir.file("out"), err);
    EXPECT_EQ(bad.wait(10s), 2);
    EXPECT_EQ(read_text(err), "<3>zamvex capture: " + conf +
                                  ":2: unknown setting 'max-block' (the settings are speed, parity, folder, "
                                  "max-blocks, ring, keep-free)\n<3>(see zamvex capture --help)\n");
    const std::string unit = read_text(ZAMVEX_DIST "/systemd/zamvex-capture@.service");
    EXPECT_NE(unit.find("\nRestartPreventExitStatus=2\n"), std::string::npos);
}

}  // namespace
}  // namespace cli_test
