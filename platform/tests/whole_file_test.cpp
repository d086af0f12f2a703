// Writing files whole: each system call of the write failing with each errno
// a full, read-only or vanished disk gives, and what is left on disk after it.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <algorithm>
#include <cstring>
#include <filesystem>

#include "platform/whole_file.h"
#include "testing/failing_calls.h"
#include "testing/temp_dir.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using testing_util::Call;
using testing_util::FailingCalls;

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string textOf(const std::string& path) {
    const auto bytes = testing_util::read_file(path);
    return std::string(bytes.begin(), bytes.end());
}

struct FaultRow {
    Call call;
    int error;
};
constexpr FaultRow FileFaults[] = {
    {Call::Create, ENOSPC}, {Call::Create, EACCES}, {Call::Create, EROFS}, {Call::Create, ENOENT},
    {Call::Write, ENOSPC},  {Call::Write, EFBIG},   {Call::Write, EIO},    {Call::Fsync, EIO},
    {Call::Fsync, ENOSPC},  {Call::Close, EIO},     {Call::Rename, EXDEV}, {Call::Rename, EACCES},
};

TEST(WholeFile, EachFailingCallLeavesTheOldFileAndNoTemporaryOne) {
    for (const FaultRow& row : FileFaults) {
        SCOPED_TRACE(std::string(testing_util::call_name(row.call)) + " " + std::strerror(row.error));
        testing_util::TempDir dir;
        const std::string path = dir.file("settings.txt");
        testing_util::write_file(path, std::string("old contents"));
        FailingCalls calls(row.call, row.error);
        ScopedFileCalls seam(calls);

        const Status written = writeWholeFile(path, std::string(100000, 'x'));

        const std::string verb = row.call == Call::Create ? "cannot create '" : "cannot write '";
        EXPECT_EQ(written.message(), verb + path + "': " + std::strerror(row.error));
        EXPECT_EQ(written.errorNumber(), row.error);
        EXPECT_EQ(calls.failures(), 1);
        EXPECT_EQ(textOf(path), "old contents");
        EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"settings.txt"});
    }
}

TEST(WholeFile, WritesInPiecesAndReplacesTheFileOnlyWhenComplete) {
    testing_util::TempDir dir;
    const std::string path = dir.file("capture.pcapng");
    testing_util::write_file(path, std::string("old"));
    WholeFile file;
    ASSERT_TRUE(file.open(path).ok());
    ASSERT_TRUE(file.write(std::string_view("first ")).ok());
    ASSERT_TRUE(file.write(std::string_view("second")).ok());
    EXPECT_EQ(textOf(path), "old");  // readers see the old file until the end
    ASSERT_TRUE(file.commit().ok());
    EXPECT_EQ(textOf(path), "first second");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"capture.pcapng"});
    EXPECT_TRUE(file.status().ok());

    // A failure in the middle makes every later write fail, and nothing changes.
    FailingCalls calls(Call::Write, ENOSPC, 2);
    ScopedFileCalls seam(calls);
    ASSERT_TRUE(file.open(path).ok());
    EXPECT_TRUE(file.write(std::string_view("a")).ok());
    EXPECT_EQ(file.write(std::string_view("b")).errorNumber(), ENOSPC);
    EXPECT_EQ(file.write(std::string_view("c")).message(), "cannot write '" + path + "': " + std::strerror(ENOSPC));
    EXPECT_FALSE(file.commit().ok());
    EXPECT_EQ(file.status().errorNumber(), ENOSPC);
    EXPECT_EQ(textOf(path), "first second");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"capture.pcapng"});
}

TEST(WholeFile, AnAbandonedFileLeavesNothingAndAProbeChecksWithoutWriting) {
    testing_util::TempDir dir;
    {
        WholeFile file;
        ASSERT_TRUE(file.open(dir.file("half.png")).ok());
        ASSERT_TRUE(file.write(std::string_view("partial")).ok());
    }  // never committed
    EXPECT_TRUE(namesIn(dir.path()).empty());

    EXPECT_TRUE(probeWritable(dir.file("screen.png")).ok());
    EXPECT_TRUE(namesIn(dir.path()).empty());
    EXPECT_EQ(probeWritable(dir.file("gone/screen.png")).message(),
              "cannot create '" + dir.file("gone/screen.png") + "': No such file or directory");
}

TEST(WholeFile, AModeSetBeforeTheCommitHoldsWhateverTheUmask) {
    testing_util::TempDir dir;
    const std::string path = dir.file("capture-1.state");
    const mode_t before = ::umask(077);
    WholeFile file;
    const bool written = file.open(path).ok() && file.setMode(0644).ok() &&
                         file.write(std::string_view("pid=1")).ok() && file.commit().ok();
    ::umask(before);
    ASSERT_TRUE(written) << file.status().message();
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(NewFolders, MakesWhatIsMissingAndRemovesItUnlessKept) {
    testing_util::TempDir dir;
    const std::string deep = dir.file("a/b/c");
    {
        NewFolders made;
        EXPECT_TRUE(made.make(deep).ok());
        EXPECT_TRUE(fs::is_directory(deep));
    }
    // The job never started: the three folders are gone again.
    EXPECT_FALSE(fs::exists(dir.file("a")));
    {
        NewFolders made;
        EXPECT_TRUE(made.make(deep).ok());
        testing_util::write_file(deep + "/00000000.mkw", std::string("data"));
        made.keep();
    }
    EXPECT_TRUE(fs::exists(deep + "/00000000.mkw"));

    // A folder that holds something is never removed, kept or not.
    {
        NewFolders made;
        EXPECT_TRUE(made.make(dir.file("x/y")).ok());
        testing_util::write_file(dir.file("x/y/note"), std::string("n"));
    }
    EXPECT_TRUE(fs::exists(dir.file("x/y/note")));
}

TEST(NewFolders, AFailingMkdirNamesThePathAndLeavesNoPartOfIt) {
    for (int error : {EACCES, EROFS, ENOSPC}) {
        SCOPED_TRACE(std::strerror(error));
        testing_util::TempDir dir;
        FailingCalls calls(Call::Mkdir, error, 2);  // the second level fails
        ScopedFileCalls seam(calls);
        {
            NewFolders made;
            EXPECT_EQ(made.make(dir.file("out/text")).message(),
                      "cannot make the folder '" + dir.file("out/text") + "': " + std::strerror(error));
        }
        EXPECT_FALSE(fs::exists(dir.file("out")));
    }
}

}  // namespace
}  // namespace platform
