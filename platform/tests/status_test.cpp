#include "platform/status.h"

#include <cerrno>
#include <cstring>

#include <gtest/gtest.h>

namespace {

TEST(Status, SuccessSaysNothingAndFailuresNameStepPathAndReason) {
    const platform::Status done;
    EXPECT_TRUE(done.ok());
    EXPECT_EQ(done.message(), "");
    EXPECT_EQ(done.errorNumber(), 0);

    const auto full = platform::Status::failure("write", "/tmp/x", ENOSPC);
    EXPECT_FALSE(full.ok());
    EXPECT_EQ(full.errorNumber(), ENOSPC);
    EXPECT_EQ(full.operation(), "write");
    EXPECT_EQ(full.path(), "/tmp/x");
    EXPECT_EQ(full.message(), std::string("cannot write '/tmp/x': ") + std::strerror(ENOSPC));

    const auto ours = platform::Status::failure("read", "/tmp/y", "the file is too short");
    EXPECT_FALSE(ours.ok());
    EXPECT_EQ(ours.errorNumber(), 0);
    EXPECT_EQ(ours.message(), "cannot read '/tmp/y': the file is too short");

    const auto told = platform::Status::failureWithMessage("write", "-", EPIPE, "the capture stopped");
    EXPECT_FALSE(told.ok());
    EXPECT_EQ(told.errorNumber(), EPIPE);
    EXPECT_EQ(told.message(), "the capture stopped");
}

}  // namespace
