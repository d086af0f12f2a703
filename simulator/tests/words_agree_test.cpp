// The analyzer's side keeps its own numbers and names on purpose: a wrong value
// shared with the PC library would pass every end-to-end test. These checks
// make sure that the two sides still agree on each of them.
#include <gtest/gtest.h>

#include "commlib/analyzer_words.h"
#include "measure/measurement.h"
#include "screen/panel.h"
#include "sets/data_store.h"
#include "simulator/options.h"

namespace simulator {
namespace {

TEST(WordsAgree, ModelNamesAndCodes) {
    const Model models[] = {Model::Rv7010, Model::Rv7020, Model::Rv7030};
    ASSERT_EQ(std::size(models), AnalyzerModels.size());
    for (std::size_t i = 0; i < AnalyzerModels.size(); ++i) {
        EXPECT_EQ(AnalyzerModels[i].name, model_name(models[i]));
        EXPECT_EQ(AnalyzerModels[i].code, model_code(models[i]));
    }
}

TEST(WordsAgree, KeyCodesAndNames) {
    EXPECT_EQ(kKeyLeft, KeyLeft);
    EXPECT_EQ(kKeyRight, KeyRight);
    EXPECT_EQ(kKeyUp, KeyUp);
    EXPECT_EQ(kKeyDown, KeyDown);
    EXPECT_EQ(kKeyEnter, KeyEnter);
    EXPECT_EQ(kKeyMenu, KeyMenu);
    EXPECT_EQ(kKeyRun, KeyRun);
    EXPECT_EQ(kKeyStop, KeyStop);
    EXPECT_EQ(kShift, KeyShifted);
    // The analyzer's screen spells the arrows out; every other name is the same.
    for (int code = 0; code < KeyCount; ++code) {
        if (code >= KeyLeft && code <= KeyDown) continue;
        EXPECT_EQ(key_name(code), KeyName(code)) << code;
        EXPECT_EQ(key_name(code + KeyShifted), "SHIFT+" + std::string(KeyName(code))) << code;
    }
}

TEST(WordsAgree, StatusWordAndDataSetSizes) {
    EXPECT_EQ(kStatusMeasuring, StatusMeasuring);
    EXPECT_EQ(kStatusTriggered, StatusTriggered);
    EXPECT_EQ(kStatusStopping, StatusStopping);
    EXPECT_EQ(kStatusStateBits, StatusMeasureBits);
    EXPECT_EQ(kSetupSize, std::size_t{SetupSize});
    EXPECT_EQ(kOldSetupSize, std::size_t{SetupShortSize});
    EXPECT_EQ(kTableHead, std::size_t{TableHeadSize});
    EXPECT_EQ(kTableMaxCells, std::size_t{TableMaxCells});
    EXPECT_EQ(kProgramSize, std::size_t{ProgramSize});
}

}  // namespace
}  // namespace simulator
