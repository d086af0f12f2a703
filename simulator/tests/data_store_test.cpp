// The analyzer's data sets: the default setup holds a valid value for every
// setting the settings tool reads, and what the PC puts is checked first.
#include <gtest/gtest.h>

#include "sets/data_store.h"

namespace simulator {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Setup offsets of list settings and the number of entries in their lists.
struct ListSetting {
    std::uint16_t offset;
    std::uint8_t entries;
};

// clang-format off
constexpr ListSetting kLists[] = {
    {1, 5},
    // ASYNC
    {2, 37}, {3, 37}, {4, 10}, {5, 4}, {6, 5}, {7, 3}, {17, 7}, {26, 2}, {28, 2}, {29, 2},
    // SYNC
    {30, 37}, {31, 37}, {32, 10}, {33, 4}, {34, 5}, {35, 4}, {36, 2}, {45, 7}, {54, 2}, {56, 2}, {57, 2},
    // HDLC and NRZI
    {58, 37}, {59, 37}, {60, 10}, {61, 4}, {62, 5}, {63, 4}, {64, 2}, {73, 2}, {78, 2},
    {86, 37}, {87, 37}, {88, 10}, {89, 4}, {90, 5}, {91, 4}, {92, 2}, {101, 2}, {106, 2},
    // TIMER/COUNTER scales, CONDITION
    {348, 3}, {352, 3}, {362, 3}, {363, 2}, {364, 2}, {365, 2}, {366, 2}, {368, 3}, {369, 3}, {371, 2},
    {372, 8}, {373, 8}, {374, 8}, {375, 8}, {376, 3}, {377, 2}, {378, 4}, {379, 2}, {380, 2}, {381, 7},
    {382, 2}, {383, 3}, {384, 2}, {385, 2}, {386, 2}, {387, 4}, {388, 3}, {389, 2}, {390, 2},
    // AUTO RUN / CONFIG, TREND, BEAT, MANUAL, BUFFER, FLOW, ECHO
    {392, 2}, {396, 2}, {400, 2}, {410, 3}, {411, 3}, {412, 10}, {414, 3}, {415, 7}, {420, 5},
    {425, 2}, {428, 4}, {433, 2}, {436, 2}, {437, 2}, {438, 2}, {441, 2}, {442, 2}, {443, 16}, {450, 3},
    // MULTI POLLING, PPP
    {456, 2}, {468, 30}, {880, 37}, {881, 37}, {882, 10}, {904, 2},
};
// clang-format on

unsigned u16(const Bytes& b, std::size_t at) { return b[at] | b[at + 1] << 8; }

TEST(DataStore, DefaultSetupHoldsValidSettingsForEveryModel) {
    for (Model m : {Model::Rv7010, Model::Rv7020, Model::Rv7030}) {
        const Bytes s = default_setup(m, LineMode::Async);
        ASSERT_EQ(s.size(), 910u);
        for (const ListSetting& l : kLists) EXPECT_LT(s[l.offset], l.entries) << "offset " << l.offset;
        // Numbers inside their ranges.
        EXPECT_GE(u16(s, 346), 1u);
        EXPECT_GE(u16(s, 350), 1u);
        EXPECT_GE(u16(s, 354), 1u);
        EXPECT_GE(u16(s, 358), 1u);
        EXPECT_TRUE(s[41] >= 1 && s[41] <= 99);
        EXPECT_TRUE(s[395] >= 1 && s[395] <= 31 && s[394] <= 23 && s[393] <= 59);
        EXPECT_LE(u16(s, 466), 9999u);
        EXPECT_LE(u16(s, 470), 9999u);
        EXPECT_LE(u16(s, 472), 9999u);
        EXPECT_LE(u16(s, 474), 9999u);
        EXPECT_GE(u16(s, 446), 1u);
        EXPECT_TRUE(u16(s, 448) >= 1 && u16(s, 448) <= 255);
        EXPECT_EQ(s[457], 1);  // a slave address of one byte passes the polling section
        for (int k = 0; k < 7; ++k) EXPECT_LT(s[506 + 2 * k], 17) << k;
        // The older analyzers' mirror bytes agree with the settings they copy.
        EXPECT_EQ(s[880], s[2]);
        EXPECT_EQ(s[881], s[3]);
        EXPECT_EQ(s[882], s[4]);
        EXPECT_EQ(s[908], s[381]);
    }
    EXPECT_EQ(default_setup(Model::Rv7010, LineMode::Ppp)[1], 4);
    EXPECT_EQ(default_setup(Model::Rv7010, LineMode::Hdlc)[387], 0);
}

TEST(DataStore, DefaultTableIsWellFormed) {
    const DataStore store(Model::Rv7020, LineMode::Hdlc);
    const Bytes& t = store.bytes(SetKind::Table);
    const unsigned n = u16(t, 64);
    ASSERT_EQ(t.size(), 68 + 2 * n);
    unsigned previous = 0;
    for (int k = 0; k < 16; ++k) {
        EXPECT_GE(u16(t, 4 * k), previous);
        previous = u16(t, 4 * k);
    }
    EXPECT_LE(previous, n);
}

TEST(DataStore, ModelsDifferInProgramAndThirdTable) {
    EXPECT_FALSE(DataStore(Model::Rv7010, LineMode::Hdlc).has(SetKind::Program));
    EXPECT_FALSE(DataStore(Model::Rv7010, LineMode::Hdlc).has(SetKind::Table3));
    EXPECT_FALSE(DataStore(Model::Rv7020, LineMode::Hdlc).has(SetKind::Program));
    EXPECT_TRUE(DataStore(Model::Rv7020, LineMode::Hdlc).has(SetKind::Table3));
    const DataStore big(Model::Rv7030, LineMode::Hdlc);
    EXPECT_EQ(big.bytes(SetKind::Program).size(), 8192u);
    EXPECT_EQ(big.bytes(SetKind::Table3).size(), 2038u);
}

TEST(DataStore, PutsAreCheckedBeforeTheyReplaceAnything) {
    DataStore store(Model::Rv7030, LineMode::Hdlc);
    const Bytes before = store.setup();
    EXPECT_FALSE(store.put(SetKind::Setup, Bytes(909, 0)));
    EXPECT_EQ(store.setup(), before);
    // 880 bytes from an older PC program keep our last 30.
    Bytes old(880, 0x11);
    EXPECT_TRUE(store.put(SetKind::Setup, old));
    EXPECT_EQ(store.setup().size(), 910u);
    EXPECT_EQ(store.setup()[879], 0x11);
    EXPECT_EQ(store.setup()[880], before[880]);

    Bytes table(68 + 4, 0);
    table[64] = 2;
    EXPECT_TRUE(store.put(SetKind::Table, table));
    table[64] = 3;  // says three cells, holds two
    EXPECT_FALSE(store.put(SetKind::Table, table));
    table[65] = 0x80;  // negative count
    EXPECT_FALSE(store.put(SetKind::Table, table));

    Bytes t3(2038 + 5, 0);
    t3[2034] = 5;
    EXPECT_TRUE(store.put(SetKind::Table3, t3));
    t3.pop_back();
    EXPECT_FALSE(store.put(SetKind::Table3, t3));
    EXPECT_FALSE(store.put(SetKind::Screen, Bytes(1920, 0)));
    EXPECT_FALSE(store.put(SetKind::Program, Bytes(100, 0)));
}

}  // namespace
}  // namespace simulator
