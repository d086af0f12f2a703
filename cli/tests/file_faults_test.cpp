// Every command that writes a file, with each step of the write failing in
// turn through the system-call seam: the one line the user reads (path and
// reason), the exit code, and that no half-written file or stray folder is
// left. The commands run in this process against an in-process analyzer.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <thread>

#include "commands/commands.h"
#include "frame_words.h"
#include "platform/syscalls.h"
#include "sample_conversations.h"
#include "session/analyzer_session.h"
#include "simulator/pty_server.h"
#include "testing/failing_calls.h"
#include "testing/temp_dir.h"

namespace cli {
namespace {

namespace fs = std::filesystem;
using testing_util::Call;
using testing_util::FailingCalls;

// The simulated analyzer on a pty, served by a thread for the test's lifetime.
class ServedAnalyzer {
public:
    explicit ServedAnalyzer(const simulator::AnalyzerOptions& options = {})
        : server_(options), thread_([this] { server_.run(stop_); }) {}
    ~ServedAnalyzer() {
        stop_ = true;
        thread_.join();
    }
    const std::string& port() const { return server_.slave_path(); }

private:
    simulator::PtyServer server_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

std::vector<std::string> names_in(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct Outcome {
    int code;
    std::string out, err;
};

template <class Command>
Outcome run(Command command, const std::vector<std::string>& args) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int code = command(args);
    std::string out = ::testing::internal::GetCapturedStdout();
    return Outcome{code, std::move(out), ::testing::internal::GetCapturedStderr()};
}

// One failing step: which call, the how-manieth (the path checks before the
// work make the first create and close of their own), and the errno.
struct Fault {
    Call call;
    int nth;
    int error;
    const char* verb;  // how the message begins
};
constexpr Fault kWriteFaults[] = {
    {Call::Create, 1, EACCES, "cannot create"}, {Call::Create, 1, EROFS, "cannot create"},
    {Call::Create, 2, ENOSPC, "cannot create"}, {Call::Write, 1, ENOSPC, "cannot write"},
    {Call::Write, 1, EFBIG, "cannot write"},    {Call::Write, 1, EIO, "cannot write"},
    {Call::Fsync, 1, EIO, "cannot write"},      {Call::Fsync, 1, EDQUOT, "cannot write"},
    {Call::Close, 2, EIO, "cannot write"},      {Call::Rename, 1, EACCES, "cannot write"},
};

std::string trace(const Fault& f) {
    return std::string(testing_util::call_name(f.call)) + " #" + std::to_string(f.nth) + " " + std::strerror(f.error);
}

TEST(FileFaults, ScreenAndSettingsFilesAreWrittenWholeOrNotAtAll) {
    ServedAnalyzer analyzer;
    struct Writer {
        const char* command;
        int (*run)(const std::vector<std::string>&);
        std::vector<std::string> args;  // the file name follows
    };
    const Writer writers[] = {
        {"screen", kScreenCommand.run, {"--port", analyzer.port(), "--png"}},
        {"key", kKeyCommand.run, {"--port", analyzer.port(), "ENTER", "--png"}},
        {"settings", kSettingsCommand.run, {"save", "--port", analyzer.port(), "--force"}},
    };
    for (const Writer& w : writers) {
        for (const Fault& f : kWriteFaults) {
            SCOPED_TRACE(std::string(w.command) + ": " + trace(f));
            testing_util::TempDir dir;
            const std::string file = dir.file("picture.png");
            testing_util::write_file(file, std::string("the earlier file"));
            std::vector<std::string> args = w.args;
            args.push_back(file);
            FailingCalls calls(f.call, f.error, f.nth);
            platform::ScopedFileCalls seam(calls);

            const Outcome r = run(w.run, args);

            EXPECT_EQ(r.code, 1);
            EXPECT_EQ(r.err, "zamvex " + std::string(w.command) + ": " + f.verb + " '" + file +
                                 "': " + std::strerror(f.error) + "\n");
            EXPECT_EQ(calls.failures(), 1);
            EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"picture.png"});
            EXPECT_EQ(testing_util::read_file(file).size(), std::string("the earlier file").size());
            // The path is checked before anything is asked of the analyzer.
            if (f.call == Call::Create && f.nth == 1) {
                EXPECT_EQ(r.out, "");
            }
        }
    }
}

TEST(FileFaults, ExportLeavesNoHalfCaptureFile) {
    for (const Fault& f : kWriteFaults) {
        if (f.nth != 1 && f.call == Call::Create) continue;  // export checks nothing beforehand
        SCOPED_TRACE(trace(f));
        testing_util::TempDir dir;
        const std::string buffer = dir.file("buffer"), out = dir.file("out/call.pcapng");
        fs::create_directories(buffer);
        fs::create_directories(dir.file("out"));
        textlib_test::WriteBuffer(buffer, textlib_test::HdlcBody(), textlib_test::Q931Call());
        FailingCalls calls(f.call, f.error, f.call == Call::Close ? 1 : f.nth);
        platform::ScopedFileCalls seam(calls);

        const Outcome r = run(kExportCommand.run, {buffer, "--pcapng", out, "--frame", "lapd"});

        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, "zamvex export: " + std::string(f.verb) + " '" + out + "': " + std::strerror(f.error) + "\n");
        EXPECT_TRUE(names_in(dir.file("out")).empty());
    }
}

TEST(FileFaults, ConvertLeavesNoHalfTextFile) {
    for (const Fault& f : kWriteFaults) {
        if (f.nth != 1 && f.call == Call::Create) continue;  // convert checks nothing beforehand
        SCOPED_TRACE(trace(f));
        testing_util::TempDir dir;
        const std::string buffer = dir.file("buffer"), out = dir.file("text");
        fs::create_directories(buffer);
        fs::create_directories(out);
        textlib_test::WriteBuffer(buffer, textlib_test::HdlcBody(), textlib_test::Q931Call());
        FailingCalls calls(f.call, f.error, f.call == Call::Close ? 1 : f.nth);
        platform::ScopedFileCalls seam(calls);

        const Outcome r = run(kConvertCommand.run, {buffer, "--out", out});

        const std::string what =
            f.call == Call::Create ? "cannot create the first output file in '" : "cannot write the text files in '";
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, "zamvex convert: " + what + out + "': " + std::strerror(f.error) + "\n");
        EXPECT_TRUE(names_in(out).empty());
    }
}

TEST(FileFaults, OutputFoldersThatCannotBeMadeLeaveNothingBehind) {
    for (int error : {EACCES, EROFS, ENOSPC}) {
        SCOPED_TRACE(std::strerror(error));
        testing_util::TempDir dir;
        const std::string buffer = dir.file("buffer");
        fs::create_directories(buffer);
        textlib_test::WriteBuffer(buffer, textlib_test::HdlcBody(), textlib_test::Q931Call());
        const std::string out = dir.file("text/day1");
        {
            FailingCalls calls(Call::Mkdir, error, 2);  // "text" is made, "day1" fails
            platform::ScopedFileCalls seam(calls);
            const Outcome r = run(kConvertCommand.run, {buffer, "--out", out});
            EXPECT_EQ(r.code, 1);
            EXPECT_EQ(r.err, "zamvex convert: cannot make the folder '" + out + "': " + std::strerror(error) + "\n");
        }
        EXPECT_FALSE(fs::exists(dir.file("text")));

        // A measurement folder likewise, before any port is opened.
        const std::string folder = dir.file("capture/run1");
        FailingCalls calls(Call::Mkdir, error, 2);
        platform::ScopedFileCalls seam(calls);
        const Outcome r = run(kCaptureCommand.run, {"--port", "/dev/zamvex-no-port", "--folder", folder});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, "zamvex capture: cannot make the folder '" + folder + "': " + std::strerror(error) + "\n");
        EXPECT_FALSE(fs::exists(dir.file("capture")));
    }
}

TEST(FileFaults, AFolderMadeForAJobThatNeverStartedIsRemovedAgain) {
    testing_util::TempDir dir;
    const std::string folder = dir.file("capture/run1");
    const Outcome r = run(kCaptureCommand.run, {"--port", "/dev/zamvex-no-port", "--folder", folder});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("There is no serial device '/dev/zamvex-no-port'"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir.file("capture")));

    const std::string out = dir.file("text");
    const Outcome c = run(kConvertCommand.run, {dir.file("no-buffer"), "--out", out});
    EXPECT_EQ(c.code, 1);
    EXPECT_FALSE(fs::exists(out));
}

// The deadline a timed capture sets: no wait of the session outlasts it, even
// one for an analyzer that never answers.
TEST(SessionDeadline, EndsEveryWaitWhateverTheAnalyzerDoes) {
    simulator::AnalyzerOptions mute;
    mute.faults.mute = true;
    ServedAnalyzer analyzer(mute);
    AnalyzerSession s;
    ASSERT_TRUE(s.open({analyzer.port(), 115200, 0}).ok());
    const auto start = std::chrono::steady_clock::now();
    s.set_deadline(start + std::chrono::milliseconds(800));
    EXPECT_EQ(s.call(ReqConnect, 0, std::chrono::seconds(40)), kNoNotification);
    EXPECT_FALSE(s.next(std::chrono::seconds(40)));
    // The engine's own give-up on a mute analyzer takes several seconds.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

}  // namespace
}  // namespace cli
