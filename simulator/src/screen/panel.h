// The analyzer's front panel: the keys it understands, a small menu that the
// arrow keys move, and the screen that shows model, measurement state, the
// menu and the last key pressed.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace simulator {

// Key codes of the panel (shifted keys add 128).
inline constexpr int kKeyLeft = 16, kKeyRight = 17, kKeyUp = 18, kKeyDown = 19, kKeyEnter = 20, kKeyMenu = 23,
                     kKeyRun = 33, kKeyStop = 34;
inline constexpr int kShift = 128;

// "ENTER", "SHIFT+0", ...; codes without a key show as "KEY 1A5".
std::string key_name(int code);
// The other way round, for keys typed by a person: a name as key_name gives
// it (any case), or a number (decimal, or hexadecimal after "0x").
std::optional<int> key_from_name(const std::string& name);

struct PanelStatus {
    std::string model;    // "RV-7020"
    std::string version;  // "1.05"
    bool packet_mode = false;
    std::uint16_t status_word = 0;
    std::uint64_t records = 0;
};

class Panel {
public:
    enum class Action { None, Run, Stop };

    // A key from the PC or the panel itself.
    Action press(int code);
    // The screen, 240 x 64 pixels, 30 bytes per row, MSB leftmost, 1 = dark.
    std::vector<std::uint8_t> render(const PanelStatus& status) const;

    int menu_index() const { return menu_; }
    const std::string& last_key() const { return last_key_; }

private:
    int menu_ = 0;
    int selected_ = -1;
    std::string last_key_ = "-";
};

}  // namespace simulator
