// The words every program shares: a notification must come out of its posted
// word as it went in, for every status the library sends, and the lookups
// must answer the analyzer's own names.
#include <gtest/gtest.h>

#include "commlib/analyzer_words.h"
#include "commlib/remote.h"

namespace {

TEST(AnalyzerWords, EveryNotificationComesBackAsItWasPosted) {
    const int codes[] = {ReqConnect, ReqGetStopReason, ReqKey, NtfyAutoConnected, NtfyRate, NtfyStoreFailed};
    const int statuses[] = {StatusDone, StatusNoAnswer, StatusUnknownRequest, StatusCancelled, -1,
                            0,          1000,           KeyStop + KeyShifted};
    for (int code : codes)
        for (int status : statuses) {
            const std::uintptr_t word = PackNotification(status, code);
            EXPECT_EQ(NotificationCode(word), code) << code << " " << status;
            EXPECT_EQ(NotificationStatus(word), status) << code << " " << status;
        }
    // The rate gauge's end is the case the programs once read as 65535.
    static_assert(NotificationStatus(PackNotification(-1, NtfyRate)) == -1);
}

TEST(AnalyzerWords, MeasuringIsAnyOfTheThreeRunningStates) {
    EXPECT_FALSE(IsMeasuring(0));
    EXPECT_FALSE(IsMeasuring(StatusBit0));
    EXPECT_TRUE(IsMeasuring(StatusMeasuring));
    EXPECT_TRUE(IsMeasuring(StatusTriggered | StatusBit0));
    EXPECT_TRUE(IsMeasuring(StatusStopping));
}

TEST(AnalyzerWords, ModelsAndKeysByName) {
    EXPECT_EQ(AnalyzerModelIndex("RV-7030"), 2u);
    EXPECT_EQ(AnalyzerModelIndex("RV-7040"), std::nullopt);
    EXPECT_EQ(AnalyzerModels[0].code, 4);
    EXPECT_EQ(KeyName(KeyEnter), "ENTER");
    EXPECT_EQ(KeyName(0xB), "B");
    EXPECT_EQ(KeyName(KeyCount), "");
    EXPECT_EQ(KeyName(KeyStop + KeyShifted), "");
}

}  // namespace
