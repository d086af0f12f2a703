// The conversion's text files when the disk says no: the end notice carries
// the system's reason, and a file that could not be finished is not left
// behind, whole files before it are.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <csignal>
#include <filesystem>

#include "buffer_builder.h"
#include "convert_harness.h"
#include "frame_words.h"
#include "sample_conversations.h"

namespace textlib_test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The end notice of a conversion: its code and lParam.
std::pair<int, std::intptr_t> EndOf(const Converted& c) {
    for (const Notice& n : c.notices)
        if ((n.wParam & 0xFFFF) == 0) return {static_cast<int>(n.wParam >> 16), n.lParam};
    return {-1, -1};
}

// Lowers this process's file size limit for the scope, with the signal that
// comes with it ignored, so writes beyond it fail with EFBIG.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : previous_(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit lower = saved_;
        lower.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int);
};

TEST(OutputFaults, AMissingFolderEndsWithNoOutputAndItsReason) {
    testing_util::TempDir dir;
    const std::string buffer = dir.file("buffer");
    fs::create_directory(buffer);
    WriteBuffer(buffer, HdlcBody(), Q931Call());
    const Converted c = Convert(buffer, DefaultOptions(dir.file("gone")));
    EXPECT_EQ(EndOf(c), (std::pair<int, std::intptr_t>{kConvertNoOutput, ENOENT}));
}

TEST(OutputFaults, AFileThatHitsTheSizeLimitIsRemovedAndTheWholeOnesStay) {
    testing_util::TempDir dir;
    const std::string buffer = dir.file("buffer"), out = dir.file("text");
    fs::create_directory(buffer);
    fs::create_directory(out);
    WriteBuffer(buffer, HdlcBody(), Q931Call());
    ConvertOptions options = DefaultOptions(out);
    // Without a limit: the files of 10 lines each and their sizes.
    options.MaxLines = 10;
    ASSERT_EQ(EndOf(Convert(buffer, options)).first, kConvertDone);
    const auto whole = NamesIn(out);
    ASSERT_GE(whole.size(), 3u);
    std::vector<std::uintmax_t> sizes;
    for (const auto& n : whole) sizes.push_back(fs::file_size(out + "/" + n));
    fs::remove_all(out);
    fs::create_directory(out);

    // A limit of the first file's size: the first larger file fails, and only
    // the files before it are left, whole.
    const std::uintmax_t limit = sizes[0];
    std::size_t fits = 0;
    while (fits < sizes.size() && sizes[fits] <= limit) ++fits;
    {
        FileSizeLimit lower(limit);
        const Converted c = Convert(buffer, options);
        if (fits == sizes.size()) EXPECT_EQ(EndOf(c), (std::pair<int, std::intptr_t>{kConvertDone, 0}));
        else EXPECT_EQ(EndOf(c), (std::pair<int, std::intptr_t>{kConvertFailed, EFBIG}));
    }
    EXPECT_EQ(NamesIn(out), std::vector<std::string>(whole.begin(), whole.begin() + static_cast<long>(fits)));
    for (std::size_t i = 0; i < fits; ++i) EXPECT_EQ(fs::file_size(out + "/" + whole[i]), sizes[i]);
    fs::remove_all(out);
    fs::create_directory(out);

    // One file of everything is far beyond that limit: it fails and goes.
    options.MaxLines = 1000000;
    {
        FileSizeLimit lower(limit);
        EXPECT_EQ(EndOf(Convert(buffer, options)), (std::pair<int, std::intptr_t>{kConvertFailed, EFBIG}));
    }
    EXPECT_TRUE(NamesIn(out).empty());
}

}  // namespace
}  // namespace textlib_test
