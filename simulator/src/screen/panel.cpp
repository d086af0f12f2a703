// Key handling and screen drawing of the front panel.
#include "screen/panel.h"

#include <array>
#include <cstdio>
#include <cstdlib>

#include "measure/measurement.h"
#include "screen/font.h"

namespace simulator {
namespace {

constexpr int kWidth = 240, kHeight = 64, kRowBytes = kWidth / 8, kColumns = kWidth / kCellWidth;

// Key names by code (0..34); codes 0..15 are the hexadecimal digits.
constexpr std::array<const char*, 35> kKeyNames = {
    "0",       "1",    "2",   "3",    "4",    "5",      "6",        "7",    "8",     "9",      "A",        "B",
    "C",       "D",    "E",   "F",    "LEFT", "RIGHT",  "UP",       "DOWN", "ENTER", "PAGEUP", "PAGEDOWN", "MENU",
    "DISPLAY", "TIME", "HEX", "DATA", "TOP",  "BOTTOM", "LOADSAVE", "FIND", "PRINT", "RUN",    "STOP",
};

constexpr std::array<const char*, 6> kMenu = {
    "SETUP", "TRIGGER", "MEASURE", "DISPLAY", "PROGRAM", "TABLE",
};
constexpr int kMenuRows = 4;

class Canvas {
public:
    Canvas() : bits_(static_cast<std::size_t>(kRowBytes * kHeight), 0) {}

    void dot(int x, int y) {
        if (x < 0 || x >= kWidth || y < 0 || y >= kHeight) return;
        bits_[static_cast<std::size_t>(y * kRowBytes + x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    void invert_line(int line) {
        for (int y = line * kCellHeight; y < (line + 1) * kCellHeight; ++y)
            for (int b = 0; b < kRowBytes; ++b) bits_[static_cast<std::size_t>(y * kRowBytes + b)] ^= 0xFF;
    }
    void text(int line, int column, const std::string& s) {
        for (std::size_t i = 0; i < s.size() && column + static_cast<int>(i) < kColumns; ++i) {
            const auto& g = glyph(s[i]);
            const int x0 = (column + static_cast<int>(i)) * kCellWidth;
            for (int cx = 0; cx < kGlyphWidth; ++cx)
                for (int cy = 0; cy < 7; ++cy)
                    if (g[static_cast<std::size_t>(cx)] & (1 << cy)) dot(x0 + cx, line * kCellHeight + cy);
        }
    }
    std::vector<std::uint8_t> take() { return std::move(bits_); }

private:
    std::vector<std::uint8_t> bits_;
};

std::string state_text(std::uint16_t status) {
    switch (status & kStatusStateBits) {
    case kStatusMeasuring: return "MEASURING";
    case kStatusTriggered: return "TRIGGERED";
    case kStatusStopping: return "STOPPING";
    default: return "STOPPED";
    }
}

}  // namespace

std::string key_name(int code) {
    const int base = code & ~kShift;
    if (code >= 0 && code < 256 && base < static_cast<int>(kKeyNames.size()))
        return (code & kShift ? std::string("SHIFT+") : std::string()) + kKeyNames[static_cast<std::size_t>(base)];
    char buf[16];
    std::snprintf(buf, sizeof buf, "KEY %X", static_cast<unsigned>(code) & 0xFFFF);
    return buf;
}

std::optional<int> key_from_name(const std::string& name) {
    std::string upper;
    for (char c : name) upper.push_back(static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c));
    int shift = 0;
    if (upper.rfind("SHIFT+", 0) == 0) {
        shift = kShift;
        upper.erase(0, 6);
    }
    for (std::size_t code = 0; code < kKeyNames.size(); ++code)
        if (upper == kKeyNames[code]) return static_cast<int>(code) + shift;
    if (shift != 0 || upper.empty()) return std::nullopt;
    const bool hex = upper.rfind("0X", 0) == 0;
    const std::string digits = hex ? upper.substr(2) : upper;
    if (digits.empty() || digits.size() > 4) return std::nullopt;
    char* end = nullptr;
    const long code = std::strtol(digits.c_str(), &end, hex ? 16 : 10);
    if (*end != '\0' || code > 0xFFFF) return std::nullopt;
    return static_cast<int>(code);
}

Panel::Action Panel::press(int code) {
    last_key_ = key_name(code);
    const int n = static_cast<int>(kMenu.size());
    switch (code) {
    case kKeyUp: menu_ = (menu_ + n - 1) % n; break;
    case kKeyDown: menu_ = (menu_ + 1) % n; break;
    case kKeyEnter: selected_ = menu_; break;
    case kKeyMenu:
        menu_ = 0;
        selected_ = -1;
        break;
    case kKeyRun: return Action::Run;
    case kKeyStop: return Action::Stop;
    default: break;
    }
    return Action::None;
}

std::vector<std::uint8_t> Panel::render(const PanelStatus& status) const {
    Canvas c;
    c.text(0, 0, status.model + " VER " + status.version);
    c.text(0, 30, status.packet_mode ? "  PACKET" : "    TEXT");
    c.invert_line(0);
    c.text(1, 0, "STATE: " + state_text(status.status_word));
    c.text(2, 0, "RECORDS: " + std::to_string(status.records));
    const int first = menu_ < kMenuRows ? 0 : menu_ - kMenuRows + 1;
    for (int row = 0; row < kMenuRows; ++row) {
        const int item = first + row;
        if (item >= static_cast<int>(kMenu.size())) break;
        std::string line =
            (item == menu_ ? "> " : "  ") + std::to_string(item + 1) + " " + kMenu[static_cast<std::size_t>(item)];
        if (item == selected_) line += "  *";
        c.text(3 + row, 0, line);
    }
    c.text(7, 0, "KEY: " + last_key_);
    return c.take();
}

}  // namespace simulator
