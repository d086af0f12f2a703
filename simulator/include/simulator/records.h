// Record words as the PC buffer holds them, and the compact units in which the
// analyzer sends them in captured-data items (2-byte units for one direction).
//
// Errors: append_unit is false for a word that has no unit form.
// Threads: any; pure.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace simulator {

// Cell statuses of a character cell.
enum CellStatus : std::uint8_t {
    kChar = 0,
    kCharShifted = 1,
    kCheckGood = 2,
    kCheckError = 3,
    kParityError = 4,
    kFramingError = 5,
    kOverrun = 6,
    kOtherError = 7,
    kBreak = 8,
    kAbort = 9,
    kOpenFlag = 10,
    kCloseFlag = 11,
    kShortFrame = 12,
    kNoChar = 15,
};

enum class Direction : std::uint8_t { Sd = 0, Rd = 1 };

// Data words in the form the analyzer produces them, so that every word can
// travel as a unit and comes back unchanged after expansion.
std::uint32_t sd_word(std::uint8_t status, std::uint8_t ch);
std::uint32_t rd_word(std::uint8_t status, std::uint8_t ch);
std::uint32_t both_word(std::uint8_t sd_status, std::uint8_t sd_ch, std::uint8_t rd_status, std::uint8_t rd_ch);
std::uint32_t cell_word(Direction dir, std::uint8_t status, std::uint8_t ch);

// Special words. Time-stamp fields are plain numbers; the word holds them in BCD.
std::uint32_t line_state_word(std::uint8_t before, std::uint8_t after);
std::uint32_t idle_word(std::uint16_t value);
std::uint32_t time_stamp_word(Direction dir, int hours, int minutes, int seconds);

// Appends the unit of one record word: 2 bytes for a one-direction data word,
// otherwise the word's 4 bytes. Returns false (and appends nothing) for a word
// that cannot travel (0, or a data word with only one marker bit in byte 0
// that is not in the one-direction form).
bool append_unit(std::vector<std::uint8_t>& out, std::uint32_t word);

// The receiving side's expansion of units back into words (used to check the
// packing; the PC does the same). Stops at a trailing incomplete unit.
std::vector<std::uint32_t> expand_units(std::span<const std::uint8_t> units);

}  // namespace simulator
