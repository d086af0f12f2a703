// The start-up version check: each library answers its own MKGetDllVersion,
// and an old or missing library stops the program with its message.
#include <gtest/gtest.h>

#include "startup/version_check.h"

namespace capstore {
namespace {

TEST(VersionCheckTest, EachLoadedLibraryAnswersItsOwnVersion) {
    EXPECT_EQ(library_version(kCommlibName), 0x0100000Du);
    EXPECT_EQ(library_version(kTextlibName), 0x0100000Du);
    EXPECT_EQ(version_problem(library_version(kCommlibName), library_version(kTextlibName)), nullptr);
}

TEST(VersionCheckTest, OldOrMissingLibrariesAreRefused) {
    const std::uint32_t old = library_version(OLD_VERSION_SO);
    EXPECT_EQ(old, 0x0100000Bu);
    EXPECT_EQ(library_version("/nonexistent/libcommlib.so"), 0u);
    EXPECT_STREQ(version_problem(old, kTextlibMinimum), "Commlib.dll is wrong version.");
    EXPECT_STREQ(version_problem(0, 0), "Commlib.dll is wrong version.");
    EXPECT_STREQ(version_problem(kCommlibMinimum, old), "Textlib.dll is wrong version.");
    EXPECT_STREQ(version_problem(kCommlibMinimum, kTextlibMinimum - 1), "Textlib.dll is wrong version.");
    EXPECT_EQ(version_problem(kCommlibMinimum + 1, kTextlibMinimum), nullptr);
}

}  // namespace
}  // namespace capstore
