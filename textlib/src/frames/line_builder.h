// One translated line as it is built: fixed-width fields, the hexadecimal data
// cut at the 132-character line width, trailing blanks removed at the end.
// The fields every frame has are written digit by digit rather than through
// printf, which would be most of a translation's time.
#pragma once
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

#include "code_tables.h"

namespace textlib {

constexpr int kLineWidth = 132;

class LineBuilder {
public:
    void Clear() { text_.clear(); }
    void Put(const char* s) { text_ += s; }
    void Spaces(int n) { text_.append(static_cast<std::size_t>(n), ' '); }
    // "%02X" and "%04X".
    void Hex2(unsigned v) {
        text_ += kHexDigits[(v >> 4) & 0xF];
        text_ += kHexDigits[v & 0xF];
    }
    void Hex4(unsigned v) {
        Hex2(v >> 8);
        Hex2(v);
    }
    // "%*d": right-aligned in `width` characters (at least as wide as the number).
    void Dec(int v, int width = 0) {
        if (v < 0) return Format("%*d", width, v);
        char digits[12];
        int n = 0;
        do {
            digits[n++] = static_cast<char>('0' + v % 10);
            v /= 10;
        } while (v != 0);
        if (width > n) Spaces(width - n);
        while (n > 0) text_ += digits[--n];
    }
    // "%-*s": left-aligned in `width` characters.
    void Left(const char* s, int width) {
        const std::size_t before = text_.size();
        text_ += s;
        const int used = static_cast<int>(text_.size() - before);
        if (width > used) Spaces(width - used);
    }
    // "%*s": right-aligned in `width` characters.
    void Right(const char* s, int width) {
        const int n = static_cast<int>(std::char_traits<char>::length(s));
        if (width > n) Spaces(width - n);
        text_ += s;
    }
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
        Hex2(stamp >> 8);
        Hex2(stamp >> 16);
        Hex2(stamp >> 24);
        text_ += ' ';
    }
    // As many "%02X" slots as the line width leaves, filled from `count`
    // items through `byteOf`; slots without a byte are blank (and trimmed
    // away at the end).
    template <typename T, typename ByteOf>
    void PutData(const T* items, int count, ByteOf byteOf) {
        const int slots = (kLineWidth - static_cast<int>(text_.size())) / 2;
        int k = 0;
        for (; k < slots && k < count; ++k) Hex2(static_cast<unsigned>(byteOf(items[k])));
        if (k < slots) Spaces(2 * (slots - k));
    }
    // Removes trailing spaces; the caller ends the line.
    const std::string& Finish() {
        text_.erase(text_.find_last_not_of(' ') + 1);
        return text_;
    }
    std::size_t Size() const { return text_.size(); }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

// "SD:", "RD:" or "??:" for a frame's direction.
inline const char* DirectionGuide(int direction) { return direction == 1 ? "SD:" : direction == 2 ? "RD:" : "??:"; }

}  // namespace textlib
