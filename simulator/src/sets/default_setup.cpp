// The setup an analyzer leaves the factory with. Each row sets one setting of
// the 910-byte setup; every list setting holds a valid index, so the settings
// tool can write and read back every section of it.
#include <array>

#include "sets/data_store.h"

namespace simulator {
namespace {

struct SetupRow {
    std::uint16_t offset;
    std::uint8_t width;  // bytes, little endian
    std::uint32_t value;
};

// clang-format off
constexpr SetupRow kDefaults[] = {
    // CONFIGURATION, ASYNC: 19200 both ways, ASCII, 8 bits, no parity, 1 stop, BSC characters
    {2, 1, 24}, {3, 1, 24}, {4, 1, 0}, {5, 1, 3}, {6, 1, 0}, {7, 1, 0}, {17, 1, 1},
    {19, 1, 0x02}, {20, 1, 0x02}, {22, 1, 0x03}, {23, 1, 0x03}, {25, 1, 0x1F},
    {26, 1, 0}, {27, 1, 0x10}, {28, 1, 0}, {29, 1, 0},
    // SYNC: 9600, ASCII, 8 bits, SYN SYN, pad as end-of-frame character once, CRC-16
    {30, 1, 18}, {31, 1, 18}, {32, 1, 0}, {33, 1, 3}, {34, 1, 0}, {35, 1, 0}, {36, 1, 0},
    {38, 1, 0x16}, {39, 1, 0x16}, {40, 1, 0xFF}, {41, 1, 1}, {42, 1, 0}, {43, 1, 0},
    {45, 1, 3}, {47, 1, 0x02}, {48, 1, 0x02}, {50, 1, 0x03}, {51, 1, 0x03}, {53, 1, 0x1F},
    {54, 1, 0}, {55, 1, 0x10}, {56, 1, 0}, {57, 1, 0},
    // HDLC: 64000, FCS on, no address filters, flag idle
    {58, 1, 33}, {59, 1, 33}, {60, 1, 5}, {61, 1, 3}, {62, 1, 0}, {63, 1, 0}, {64, 1, 0},
    {73, 1, 1}, {74, 1, 0}, {75, 1, 0x01}, {76, 1, 0}, {77, 1, 0x03}, {78, 1, 1},
    // NRZI: the HDLC settings 28 bytes further on
    {86, 1, 24}, {87, 1, 24}, {88, 1, 5}, {89, 1, 3}, {90, 1, 0}, {91, 1, 0}, {92, 1, 0},
    {101, 1, 1}, {102, 1, 0}, {103, 1, 0xC1}, {104, 1, 0}, {105, 1, 0xC1}, {106, 1, 1},
    // TRIGGER 0..3: factor NONE, action BZZER, CHARA cells blank
    // (filled in by code below: blank cells are (0, 0xFF))
    // TIMER/COUNTER
    {346, 2, 10}, {348, 1, 0}, {350, 2, 10}, {352, 1, 0}, {354, 2, 1}, {358, 2, 1},
    // CONDITION: BUF0, no protection, idle 100 ms, time stamps HMS, line states RS CS DR CD
    {362, 1, 0}, {363, 1, 0}, {364, 1, 0}, {365, 1, 0}, {366, 1, 0}, {368, 1, 1}, {369, 1, 1},
    {371, 1, 1}, {372, 1, 0}, {373, 1, 1}, {374, 1, 2}, {375, 1, 3},
    {376, 1, 1}, {377, 1, 0}, {378, 1, 0}, {379, 1, 0}, {380, 1, 0},
    {381, 1, 2}, {382, 1, 1}, {383, 1, 0}, {384, 1, 0}, {385, 1, 0}, {386, 1, 0},
    {387, 1, 2}, {388, 1, 1}, {389, 1, 1}, {390, 1, 0},
    // AUTO RUN off (times valid anyway: day 1, 00:00), AUTO CONFIG STOP
    {392, 1, 0}, {393, 1, 0}, {394, 1, 0}, {395, 1, 1}, {396, 1, 0}, {397, 1, 0}, {398, 1, 0},
    {399, 1, 1}, {400, 1, 0},
    // DELAY FACTOR all "*"; TREND FACT; BEAT; MANUAL FACTOR; BUFFER FACTOR
    {402, 2, 0}, {404, 2, 0}, {406, 2, 0}, {408, 2, 0}, {410, 1, 0}, {411, 1, 0}, {412, 1, 0},
    {414, 1, 0}, {415, 1, 0}, {416, 4, 60}, {420, 1, 0}, {422, 2, 0}, {425, 1, 0}, {426, 2, 0},
    {428, 1, 0}, {430, 2, 0}, {433, 1, 0}, {434, 2, 0},
    // FLOW CONTROL: SEND, characters XON/XOFF
    {436, 1, 0}, {437, 1, 0}, {438, 1, 0}, {439, 1, 0x11}, {440, 1, 0x13}, {441, 1, 0},
    {442, 1, 0}, {443, 1, 0}, {444, 2, 0}, {446, 2, 1}, {448, 2, 1},
    // ECHO BACK: BIT; buffer end character CR
    {450, 1, 0}, {453, 1, 0x0D}, {454, 2, 0},
    // MULTI POLLING: slave at address 5a, 100 ms, table 0; master values in range
    {456, 1, 0}, {457, 1, 1}, {458, 1, 0x5A}, {466, 2, 100}, {468, 1, 0},
    {470, 2, 100}, {472, 2, 300}, {474, 2, 3}, {520, 1, 14}, {521, 1, 15},
    // PPP: 19200, ASCII (mirrors of the ASYNC bytes, as older setups have them), no suppress
    {880, 1, 24}, {881, 1, 24}, {882, 1, 0}, {904, 1, 0}, {908, 1, 2},
};
// clang-format on

constexpr bool rows_sorted() {
    for (std::size_t i = 1; i < std::size(kDefaults); ++i)
        if (kDefaults[i - 1].offset + kDefaults[i - 1].width > kDefaults[i].offset) return false;
    return true;
}
static_assert(rows_sorted(), "setup rows must be in offset order and must not overlap");
static_assert(kDefaults[std::size(kDefaults) - 1].offset < kSetupSize);

void fill_triggers(std::vector<std::uint8_t>& setup) {
    for (std::size_t k = 0; k < 4; ++k) {
        const std::size_t base = 114 + 58 * k;
        for (std::size_t cell = 0; cell < 16; ++cell) setup[base + 2 + 2 * cell + 1] = 0xFF;
    }
}

void fill_polling(std::vector<std::uint8_t>& setup) {
    setup[476] = 0xFF;  // polling message "05" then empty cells
    setup[477] = 0x05;
    for (std::size_t cell = 1; cell < 15; ++cell) setup[476 + 2 * cell + 1] = 0xFF;
    for (std::size_t pair = 0; pair < 14; ++pair) setup[506 + pair] = static_cast<std::uint8_t>(pair);
    for (std::size_t station = 0; station < 32; ++station) {
        setup[522 + station] = 1;
        setup[554 + 8 * station] = static_cast<std::uint8_t>(0x40 + station);
    }
}

}  // namespace

std::vector<std::uint8_t> default_setup(Model model, LineMode mode) {
    std::vector<std::uint8_t> setup(kSetupSize, 0);
    for (const SetupRow& row : kDefaults)
        for (std::size_t i = 0; i < row.width; ++i)
            setup[row.offset + i] = static_cast<std::uint8_t>(row.value >> (8 * i));
    fill_triggers(setup);
    fill_polling(setup);
    setup[1] = static_cast<std::uint8_t>(mode);
    if (model == Model::Rv7010) {
        setup[387] = 0;  // no frame or packet level on the smallest model
        setup[388] = 0;
    }
    return setup;
}

}  // namespace simulator
