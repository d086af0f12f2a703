// The interface object without a running link: settings, Initialize and its
// folder prompt, failures of Open, and requests while the port is closed.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "fake_engine.h"
#include "remote/remote_impl.h"
#include "testing/pty_pair.h"
#include "testing/temp_dir.h"

namespace commlib {
namespace {

using testing_fake::FakeEngine;
using testing_fake::Seen;

struct Note {
    int code, status;
    void* data;
    std::thread::id thread;
};
std::vector<Note> notes;
int RecordNote(int code, int status, void* data) {
    notes.push_back({code, status, data, std::this_thread::get_id()});
    return 0;
}

int promptAnswer = 0;
int ScriptedPrompt(WindowHandle, const char*) { return promptAnswer; }

class RemoteClosed : public ::testing::Test {
protected:
    RemoteImpl remote{testing_fake::MakeFakeEngine};
    FakeEngine& Fake() { return static_cast<FakeEngine&>(remote.GetEngine()); }
    void SetUp() override { notes.clear(); }
    int InitPort(const std::string& name, int speed = 9600) {
        const PortSettings port{name.c_str(), speed, 0, 0};
        return remote.Initialize(nullptr, RecordNote, &port, nullptr);
    }
};

TEST_F(RemoteClosed, RequestBeforeOpenIsAnsweredOnTheCallersThread) {
    ASSERT_EQ(InitPort("COM1"), 0);
    EXPECT_EQ(remote.Request(ReqGetSetup, 0, 0), 0);
    EXPECT_EQ(remote.Request(ReqKey, 0x21, 0), 0);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].code, ReqGetSetup);
    EXPECT_EQ(notes[0].status, StatusPortNotOpen);
    EXPECT_EQ(notes[0].data, nullptr);
    EXPECT_EQ(notes[0].thread, std::this_thread::get_id());
    EXPECT_EQ(notes[1].code, ReqKey);
    EXPECT_EQ(FakeEngine::Count(Fake().AllSeen(), Seen::Request), 0u);
}

TEST_F(RemoteClosed, OpenOnAFifoReturns2AndStaysClosed) {
    testing_util::TempDir dir;
    const std::string fifo = dir.file("line");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(InitPort(fifo), 0);
    EXPECT_EQ(remote.Open(), 2);
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(remote.GetLinkMode(), 0);
    EXPECT_EQ(remote.Request(ReqConnect, 0, 0), 0);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].status, StatusPortNotOpen);
}

TEST_F(RemoteClosed, OpenOnAPortAnotherProcessHoldsFails) {
    testing_util::PtyPair pty;
    int ready[2], done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The other program: holds the port until the parent is done.
        const int fd = ::open(pty.slave_path().c_str(), O_RDWR | O_NOCTTY);
        const char ok = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 'y' : 'n';
        [[maybe_unused]] ssize_t w = ::write(ready[1], &ok, 1);
        char c;
        [[maybe_unused]] ssize_t r = ::read(done[0], &c, 1);
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y');
    ASSERT_EQ(InitPort(pty.slave_path()), 0);
    EXPECT_EQ(remote.Open(), 0);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].code, ReqGetStopReason);
    EXPECT_EQ(notes[0].status, StatusPortNotOpen);
    EXPECT_EQ(notes[0].data, nullptr);
    EXPECT_EQ(remote.Request(ReqConnect, 0, 0), 0);  // still closed
    [[maybe_unused]] ssize_t w = ::write(done[1], "x", 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    for (int fd : {ready[0], ready[1], done[0], done[1]}) ::close(fd);
}

TEST_F(RemoteClosed, OpenFailuresOtherThanTheDeviceKindNotify14) {
    testing_util::PtyPair pty;
    ASSERT_EQ(InitPort("/dev/zamvex-no-such-port"), 0);
    EXPECT_EQ(remote.Open(), 0);
    ASSERT_EQ(InitPort(pty.slave_path(), 12345), 0);  // a speed the port does not take
    EXPECT_EQ(remote.Open(), 0);
    ASSERT_EQ(notes.size(), 2u);
    for (const Note& n : notes) EXPECT_EQ(n.code * 1000 + n.status, ReqGetStopReason * 1000 + StatusPortNotOpen);
    EXPECT_EQ(remote.GetVersion(), 0);
}

TEST_F(RemoteClosed, InitializeStoresSettingsAndCutsLongNames) {
    const std::string longName(400, 'p');
    const PortSettings port{longName.c_str(), 38400, 2, 1};
    testing_util::TempDir dir;
    const BufferSettings buffer{dir.path().c_str(), 64, 0, 1};
    ASSERT_EQ(remote.Initialize(nullptr, RecordNote, &port, &buffer), 0);
    const PortSettings* p = remote.GetPortSettings();
    EXPECT_EQ(std::strlen(p->Port), 259u);
    EXPECT_NE(p->Port, longName.c_str());  // a copy, not the caller's text
    EXPECT_EQ(p->Speed * 100 + p->Parity * 10 + p->XControl, 38400 * 100 + 21);
    const BufferSettings* b = remote.GetBufferSettings();
    ASSERT_NE(b->Folder, nullptr);
    EXPECT_EQ(std::string(b->Folder), dir.path());
    EXPECT_EQ(b->MaxBlocks, 64);
    EXPECT_EQ(b->Warn, 0);
    EXPECT_EQ(b->Ring, 1);
    EXPECT_EQ(FakeEngine::Count(Fake().AllSeen(), Seen::Scan), 1u);

    // Without buffer settings (the settings and key tools) the defaults return.
    ASSERT_EQ(remote.Initialize(nullptr, nullptr, &port, nullptr), 0);
    b = remote.GetBufferSettings();
    EXPECT_EQ(b->Folder, nullptr);
    EXPECT_EQ(b->MaxBlocks, 10);
    EXPECT_EQ(b->Warn, 1);
    EXPECT_EQ(b->Ring, 0);
    // A null callback is replaced by one that does nothing.
    EXPECT_EQ(remote.Request(ReqConnect, 0, 0), 0);
    EXPECT_TRUE(notes.empty());
}

TEST_F(RemoteClosed, MissingFolderAsksAndCancelRefuses) {
    testing_util::TempDir dir;
    const std::string missing = dir.file("not-there");
    const BufferSettings buffer{missing.c_str(), 10, 1, 0};
    const PortSettings port{"COM1", 9600, 0, 0};
    // No window system: the prompt answers Cancel.
    EXPECT_EQ(remote.Initialize(nullptr, RecordNote, &port, &buffer), -1);
    EXPECT_EQ(FakeEngine::Count(Fake().AllSeen(), Seen::Scan), 0u);
    // A plain file is no folder either.
    const std::string file = dir.file("file");
    testing_util::write_file(file, "x");
    const BufferSettings onFile{file.c_str(), 10, 1, 0};
    promptAnswer = 0;
    remote.SetFolderPrompt(ScriptedPrompt);
    EXPECT_EQ(remote.Initialize(nullptr, RecordNote, &port, &onFile), -1);
    EXPECT_EQ(FakeEngine::Count(Fake().AllSeen(), Seen::Scan), 0u);
    // OK with a settings dialog that cannot be shown goes on to the scan.
    promptAnswer = 1;
    EXPECT_EQ(remote.Initialize(nullptr, RecordNote, &port, &onFile), 0);
    EXPECT_EQ(FakeEngine::Count(Fake().AllSeen(), Seen::Scan), 1u);
}

TEST_F(RemoteClosed, ModelNameIsEmptyWhileClosedAndFitsTheBuffer) {
    char out[8];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(remote.GetModelName(out, sizeof out), out);
    EXPECT_STREQ(out, "");
    std::memset(out, 'x', sizeof out);
    remote.GetModelName(out, 1);
    EXPECT_EQ(out[0], '\0');
    EXPECT_EQ(out[1], 'x');
    EXPECT_EQ(remote.GetModelName(nullptr, 4), nullptr);  // no crash on a bad call
    EXPECT_EQ(remote.GetLinkMode(), 0);
}

TEST_F(RemoteClosed, CaptureOptionsInRangeReachTheEngineAndOthersAreRefused) {
    const CaptureOptions both{1, 0, 1LL << 33};
    EXPECT_EQ(remote.SetCaptureOptions(&both), 0);
    EXPECT_EQ(Fake().captureOptions.Continue, 1);
    EXPECT_EQ(Fake().captureOptions.KeepFreeBytes, 1LL << 33);
    for (const CaptureOptions bad : {CaptureOptions{2, 0, 0}, CaptureOptions{1, 7, 0}, CaptureOptions{0, 0, -1}}) {
        EXPECT_EQ(remote.SetCaptureOptions(&bad), -1);
        EXPECT_EQ(Fake().captureOptions.Continue, 1);  // unchanged
    }
    EXPECT_EQ(remote.SetCaptureOptions(nullptr), 0);
    EXPECT_EQ(Fake().captureOptions.Continue, 0);
    EXPECT_EQ(Fake().captureOptions.KeepFreeBytes, 0);
}

}  // namespace
}  // namespace commlib
