// One translated line as it is built: fixed-width fields appended with printf
// formats, the hexadecimal data cut at the 132-character line width, trailing
// blanks removed at the end.
#pragma once
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

namespace textlib {

constexpr int kLineWidth = 132;

class LineBuilder {
public:
    void Clear() { text_.clear(); }
    void Put(const char* s) { text_ += s; }
    void Spaces(int n) { text_.append(static_cast<std::size_t>(n), ' '); }
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        char field[64];
        va_list args;
        va_start(args, format);
        int n = std::vsnprintf(field, sizeof field, format, args);
        va_end(args);
        if (n > 0) text_.append(field, static_cast<std::size_t>(n) < sizeof field ? n : sizeof field - 1);
    }
    // "hhmmss " of a time stamp's hour, minute and second bytes (BCD, so the
    // hex digits read as the time), or seven blanks without one.
    void PutTime(std::uint32_t stamp) {
        if (stamp == 0) return Spaces(7);
        Format("%02X%02X%02X ", (stamp >> 8) & 0xFFu, (stamp >> 16) & 0xFFu, stamp >> 24);
    }
    // As many "%02X" slots as the line width leaves, filled from `count`
    // items through `byteOf`; slots without a byte are blank (and trimmed
    // away at the end).
    template <typename T, typename ByteOf>
    void PutData(const T* items, int count, ByteOf byteOf) {
        int slots = (kLineWidth - static_cast<int>(text_.size())) / 2;
        for (int k = 0; k < slots; ++k) {
            if (k < count) Format("%02X", static_cast<unsigned>(byteOf(items[k])));
            else Spaces(2);
        }
    }
    // Removes trailing spaces; the caller ends the line.
    const std::string& Finish() {
        text_.erase(text_.find_last_not_of(' ') + 1);
        return text_;
    }
    std::size_t size() const { return text_.size(); }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

// "SD:", "RD:" or "??:" for a frame's direction.
inline const char* DirectionGuide(int direction) {
    return direction == 1 ? "SD:" : direction == 2 ? "RD:" : "??:";
}

}  // namespace textlib
