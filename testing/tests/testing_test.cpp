// The shared test helpers must themselves be right, or every test built on them lies.
#include "testing/pty_pair.h"
#include "testing/temp_dir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <filesystem>

using namespace testing_util;

TEST(TempDir, IsCreatedAndRemovedWithItsContents) {
    std::string kept;
    {
        TempDir dir;
        kept = dir.path();
        ASSERT_TRUE(std::filesystem::is_directory(kept));
        std::filesystem::create_directories(dir.file("a/b"));
        write_file(dir.file("a/b/c.bin"), std::vector<std::uint8_t>{1, 2, 3});
        EXPECT_EQ(read_file(dir.file("a/b/c.bin")), (std::vector<std::uint8_t>{1, 2, 3}));
        std::filesystem::permissions(dir.file("a"),
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    }
    EXPECT_FALSE(std::filesystem::exists(kept));
}

TEST(PtyPair, CarriesEveryByteValueBothWaysUnchanged) {
    PtyPair pty;
    int fd = ::open(pty.slave_path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    std::vector<std::uint8_t> all(256);
    for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);
    pty.write(all);
    std::vector<std::uint8_t> got;
    while (got.size() < all.size()) {
        std::uint8_t buf[512];
        ssize_t n = ::read(fd, buf, sizeof buf);
        ASSERT_GT(n, 0);
        got.insert(got.end(), buf, buf + n);
    }
    EXPECT_EQ(got, all);
    ASSERT_EQ(::write(fd, all.data(), all.size()), 256);
    EXPECT_EQ(pty.read(256, std::chrono::milliseconds(2000)), all);
    ::close(fd);
}
