// Every file operation of a measurement failing once, at each place it is
// made, with each error a disk gives: one NtfyStoreFailed that names the error,
// the operation, the block, its bytes on disk and the complete blocks; one
// more data loss; the complete blocks intact, the failed block a whole-word
// prefix of what it should hold, no temporary file left, nothing stored after.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <map>

#include "capture/info_file.h"
#include "capture_fixture.h"
#include "commlib/store_failure_text.h"
#include "data_set_test_util.h"
#include "datasets/info_set.h"

namespace commlib::test {
namespace {

enum class Call { Create, Write, Sync, Close, Rename };

const char* CallName(Call c) {
    static constexpr const char* Names[] = {"create", "write", "fsync", "close", "rename"};
    return Names[static_cast<int>(c)];
}

// Real files; the n-th call of one kind fails with the given errno. A failing
// close still closes, as the kernel's does.
class OneFailureIo final : public capture::BlockFileIo {
public:
    OneFailureIo(Call call, int nth, int error) : call_(call), nth_(nth), error_(error) {}

    int Create(const std::string& path) override {
        return Fails(Call::Create) ? -1 : capture::SystemBlockFileIo().Create(path);
    }
    long Write(int file, const std::uint8_t* data, std::size_t n) override {
        return Fails(Call::Write) ? -1 : capture::SystemBlockFileIo().Write(file, data, n);
    }
    bool Truncate(int file, std::int64_t bytes) override { return capture::SystemBlockFileIo().Truncate(file, bytes); }
    bool Sync(int file) override { return !Fails(Call::Sync) && capture::SystemBlockFileIo().Sync(file); }
    bool Close(int file) override {
        const bool fails = Fails(Call::Close);
        const bool closed = capture::SystemBlockFileIo().Close(file);
        if (fails) errno = error_;
        return closed && !fails;
    }
    bool Rename(const std::string& from, const std::string& to) override {
        return !Fails(Call::Rename) && capture::SystemBlockFileIo().Rename(from, to);
    }
    bool Failed() const { return failed_; }

private:
    bool Fails(Call call) {
        if (call != call_ || ++seen_ != nth_) return false;
        errno = error_;
        failed_ = true;
        return true;
    }
    Call call_;
    int nth_;
    int error_;
    int seen_ = 0;
    bool failed_ = false;
};

constexpr int Held = 1024;  // words before the tick's append (whole items of 256)
constexpr int Tail = 5;     // words of block 1 at the end

// One place in the measurement where a call is made, and what a failure there leaves.
struct Site {
    const char* where;
    Call call;
    int nth;                  // the how-manieth call of its kind in the run below
    std::vector<int> errors;  // errno values that call can give
    int op;                   // StoreOp* reported
    int block;                // -1: the information file
    long long bytes;          // of that block on disk
    int lastComplete;         // first complete is block 0 throughout
    bool infoOnDisk;          // "datainfo.mkw" was saved
};

const std::vector<Site>& Sites() {
    const int b = pcbuffer::BlockBytes;
    static const std::vector<Site> AllSites = {
        {"creating block 0", Call::Create, 1, {EACCES, EROFS, ENOENT, ENOSPC, EDQUOT}, StoreOpCreate, 0, -1, -1, true},
        {"creating datainfo.mkw", Call::Create, 2, {EACCES, EROFS, ENOENT, ENOSPC}, StoreOpInfo, -1, -1, -1, false},
        {"writing datainfo.mkw", Call::Write, 1, {ENOSPC, EFBIG, EIO}, StoreOpInfo, -1, -1, -1, false},
        {"syncing datainfo.mkw", Call::Sync, 1, {EIO, ENOSPC}, StoreOpInfo, -1, -1, -1, false},
        {"closing datainfo.mkw", Call::Close, 1, {EIO, ENOSPC}, StoreOpInfo, -1, -1, -1, false},
        {"renaming datainfo.mkw", Call::Rename, 1, {EACCES, EROFS, ENOENT, EIO}, StoreOpInfo, -1, -1, -1, false},
        {"the tick's append", Call::Write, 2, {ENOSPC, EFBIG, EIO}, StoreOpWrite, 0, 0, -1, true},
        {"the roll-over's write", Call::Write, 3, {ENOSPC, EFBIG, EIO}, StoreOpWrite, 0, Held * 4, -1, true},
        {"the roll-over's sync", Call::Sync, 2, {EIO, ENOSPC}, StoreOpSync, 0, b, -1, true},
        {"the roll-over's close", Call::Close, 2, {EIO, ENOSPC}, StoreOpClose, 0, b, -1, true},
        {"creating block 1", Call::Create, 3, {EACCES, EROFS, ENOENT, ENOSPC}, StoreOpCreate, 1, -1, 0, true},
        {"the end's write", Call::Write, 4, {ENOSPC, EFBIG, EIO}, StoreOpWrite, 1, 0, 0, true},
        {"the end's sync", Call::Sync, 3, {EIO, ENOSPC}, StoreOpSync, 1, Tail * 4, 0, true},
        {"the end's close", Call::Close, 3, {EIO, ENOSPC}, StoreOpClose, 1, Tail * 4, 0, true},
    };
    return AllSites;
}

class CaptureFaultTableTest : public CaptureFixture {
protected:
    // The measurement: block 0 opened, the conditions saved, Held words appended
    // by a tick, the rest of block 0 and a roll-over into block 1, Tail words, the end.
    // Returns the words fed (for the contents check).
    void Run(capture::BlockFileIo& io) {
        Make(8, false, true, &io);
        writer->BeginCapture();
        writer->StoreInformation(&info, 0x8100, Pattern(InfoReceiveSize, 5));
        Feed(Held);
        now += 200;
        writer->Tick();
        Feed(BlockWords - Held);
        Feed(Tail);
        writer->EndCapture();
    }

    // The block as Feed() fills it from word `from` on, `bytes` long.
    static Bytes Expected(std::size_t from, std::size_t bytes) {
        Bytes out;
        for (std::size_t i = from; out.size() < bytes; ++i)
            out.insert(out.end(), {0x30, static_cast<std::uint8_t>('A' + (i % 256) % 26), 0x2F, 0x00});
        return out;
    }

    InfoSet info{2};
};

TEST_F(CaptureFaultTableTest, EachCallFailingOnceIsReportedAndKeepsWhatWasComplete) {
    // Without a failure the run stores both blocks and the information.
    {
        OneFailureIo none(Call::Create, 0, 0);
        Run(none);
        EXPECT_TRUE(out.failures.empty());
        EXPECT_EQ(Block(0), Expected(0, pcbuffer::BlockBytes));
        EXPECT_EQ(Block(1), Expected(BlockWords, Tail * 4));
        EXPECT_EQ(LastRange(), (std::array<int, 3>{0, 2, 2}));
        writer.reset();
    }
    for (const Site& site : Sites()) {
        for (const int error : site.errors) {
            SCOPED_TRACE(std::string(site.where) + " failing with " + std::strerror(error));
            for (const auto& e : std::filesystem::directory_iterator(dir.path())) std::filesystem::remove(e.path());
            out.notes.clear();
            out.failures.clear();
            counter = 0;
            info.ResetReceive();
            OneFailureIo io(site.call, site.nth, error);
            Run(io);
            ASSERT_TRUE(io.Failed()) << CallName(site.call) << " #" << site.nth << " was never made";

            // What the application is told, once.
            ASSERT_EQ(out.failures.size(), 1u);
            const StoreFailure& f = out.failures[0];
            EXPECT_EQ(f.Error, error);
            EXPECT_EQ(f.Operation, site.op);
            EXPECT_EQ(f.Block, site.block);
            EXPECT_EQ(f.BlockBytes, site.bytes);
            EXPECT_EQ(f.FirstComplete, 0);
            EXPECT_EQ(f.LastComplete, site.lastComplete);
            EXPECT_EQ(writer->LostCount(), 1);  // no gaps in this run: the failure is the loss
            EXPECT_NE(DescribeStoreFailure(f).find(std::strerror(error)), std::string::npos);

            // What is on disk.
            for (int b = 0; b <= site.lastComplete; ++b)
                EXPECT_EQ(Block(b), Expected(b * BlockWords, pcbuffer::BlockBytes));
            if (site.block >= 0) {
                if (site.bytes < 0) EXPECT_FALSE(Exists(site.block));
                else EXPECT_EQ(Block(site.block), Expected(site.block * BlockWords, site.bytes));
                EXPECT_FALSE(Exists(site.block + 1));
            } else {
                // Storing ended with the information: block 0 kept what it had (nothing yet).
                EXPECT_EQ(Size(0), 0);
                EXPECT_FALSE(Exists(1));
            }
            EXPECT_EQ(std::filesystem::exists(pcbuffer::InfoFilePath(dir.path())), site.infoOnDisk);
            EXPECT_FALSE(std::filesystem::exists(capture::InfoFileTempPath(dir.path())));
            EXPECT_FALSE(writer->BlockOpen());
            writer.reset();  // before its seam goes
        }
    }
}

TEST_F(CaptureFaultTableTest, TheSentenceNamesTheCompleteBlocksAndTheFailedOne) {
    EXPECT_EQ(DescribeStoreFailure({ENOSPC, StoreOpWrite, 2, 561152, 0, 1}),
              "No space left on device; blocks 00000000..00000001 are complete, 00000002 holds 561152 bytes");
    EXPECT_EQ(DescribeStoreFailure({EFBIG, StoreOpWrite, 5, 0, 5, 4}),
              "File too large; no block is complete, 00000005 holds 0 bytes");
    EXPECT_EQ(DescribeStoreFailure({EACCES, StoreOpCreate, 3, -1, 2, 2}),
              "Permission denied; block 00000002 is complete, 00000003 could not be created");
    EXPECT_EQ(DescribeStoreFailure({EROFS, StoreOpInfo, -1, -1, 0, 0}),
              "datainfo.mkw: Read-only file system; block 00000000 is complete");
}

TEST_F(CaptureFaultTableTest, ANewMeasurementAfterAFailureStoresAgainAndReportsAfresh) {
    OneFailureIo io(Call::Write, 2, ENOSPC);
    Run(io);
    ASSERT_EQ(out.failures.size(), 1u);
    counter = 0;
    out.failures.clear();
    writer->BeginCapture();
    Feed(3);
    writer->EndCapture();
    EXPECT_TRUE(out.failures.empty());
    EXPECT_EQ(Block(0), Expected(0, 12));
    EXPECT_EQ(writer->LostCount(), 0);
    writer.reset();
}

}  // namespace
}  // namespace commlib::test
