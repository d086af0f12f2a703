// The analyzer's data sets as it keeps them: setup, table, program, third
// table and screen, by the item numbers of packet mode and the digits of the
// "%T"/"%R" commands. What the PC puts is checked, stored and sent back.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "simulator/options.h"

namespace simulator {

enum class SetKind { Setup, Table, Program, Table3, Info, Screen };

inline constexpr std::size_t kSetupSize = 910;
inline constexpr std::size_t kOldSetupSize = 880;
inline constexpr std::size_t kTableHead = 68;
inline constexpr std::size_t kTableMaxCells = 8192;
inline constexpr std::size_t kProgramSize = 8192;
inline constexpr std::size_t kTable3Fixed = 2038;
inline constexpr std::size_t kTable3MaxExtra = 65536;
inline constexpr std::size_t kScreenBytes = 1920;

// Packet-mode items and text-mode command digits of the data sets.
std::optional<SetKind> set_for_item(std::uint16_t item);
std::optional<SetKind> set_for_digit(char digit);
bool puttable(SetKind kind);

// The default 910-byte setup for a model: every list setting a valid index.
std::vector<std::uint8_t> default_setup(Model model, LineMode mode);

class DataStore {
public:
    explicit DataStore(Model model, LineMode mode);

    // Whether this model has the data set at all (RV-7010 has neither program
    // nor third table; only RV-7030 runs programs).
    bool has(SetKind kind) const;
    const std::vector<std::uint8_t>& bytes(SetKind kind) const;
    // Stores what the PC sent when it is a whole, well-formed data set.
    bool put(SetKind kind, std::vector<std::uint8_t> body);
    // Info and screen are filled by the measurement and the panel.
    void set(SetKind kind, std::vector<std::uint8_t> body);

    const std::vector<std::uint8_t>& setup() const { return bytes(SetKind::Setup); }

private:
    Model model_;
    std::vector<std::uint8_t> sets_[6];
};

}  // namespace simulator
