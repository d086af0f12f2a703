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
#include "testing/failing_calls.h"

namespace commlib::test {
namespace {

using testing_util::Call;
using testing_util::FailingCalls;

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
    const int b = pcbuffer::kBlockBytes;
    static const std::vector<Site> AllSites = {
        {"creating block 0", Call::Create, 1, {EACCES, EROFS, ENOENT, ENOSPC, EDQUOT}, StoreOpCreate, 0, -1, -1, true},
        {"creating datainfo.mkw", Call::Create, 2, {EACCES, EROFS, ENOENT, ENOSPC}, StoreOpInfo, -1, -1, -1, false},
        {"writing datainfo.mkw", Call::Write, 1, {ENOSPC, EFBIG, EIO}, StoreOpInfo, -1, -1, -1, false},
        {"syncing datainfo.mkw", Call::Fsync, 1, {EIO, ENOSPC}, StoreOpInfo, -1, -1, -1, false},
        {"closing datainfo.mkw", Call::Close, 1, {EIO, ENOSPC}, StoreOpInfo, -1, -1, -1, false},
        {"renaming datainfo.mkw", Call::Rename, 1, {EACCES, EROFS, ENOENT, EIO}, StoreOpInfo, -1, -1, -1, false},
        {"the tick's append", Call::Write, 2, {ENOSPC, EFBIG, EIO}, StoreOpWrite, 0, 0, -1, true},
        {"the roll-over's write", Call::Write, 3, {ENOSPC, EFBIG, EIO}, StoreOpWrite, 0, Held * 4, -1, true},
        {"the roll-over's sync", Call::Fsync, 2, {EIO, ENOSPC}, StoreOpSync, 0, b, -1, true},
        {"the roll-over's close", Call::Close, 2, {EIO, ENOSPC}, StoreOpClose, 0, b, -1, true},
        {"creating block 1", Call::Create, 3, {EACCES, EROFS, ENOENT, ENOSPC}, StoreOpCreate, 1, -1, 0, true},
        {"the end's write", Call::Write, 4, {ENOSPC, EFBIG, EIO}, StoreOpWrite, 1, 0, 0, true},
        {"the end's sync", Call::Fsync, 3, {EIO, ENOSPC}, StoreOpSync, 1, Tail * 4, 0, true},
        {"the end's close", Call::Close, 3, {EIO, ENOSPC}, StoreOpClose, 1, Tail * 4, 0, true},
    };
    return AllSites;
}

class CaptureFaultTableTest : public CaptureFixture {
protected:
    // The measurement: block 0 opened, the conditions saved, Held words appended
    // by a tick, the rest of block 0 and a roll-over into block 1, Tail words, the end.
    // Returns the words fed (for the contents check).
    void Run(FailingCalls& calls) {
        Make(8, false, true, &calls);
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
        FailingCalls none(Call::Create, 0, 0);
        Run(none);
        EXPECT_TRUE(out.failures.empty());
        EXPECT_EQ(Block(0), Expected(0, pcbuffer::kBlockBytes));
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
            FailingCalls io(site.call, error, site.nth);
            Run(io);
            ASSERT_EQ(io.failures(), 1) << testing_util::call_name(site.call) << " #" << site.nth << " was never made";

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
                EXPECT_EQ(Block(b), Expected(b * BlockWords, pcbuffer::kBlockBytes));
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
    FailingCalls io(Call::Write, ENOSPC, 2);
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
