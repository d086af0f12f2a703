// The texts that enumerated settings are stored as, one row per text, with the
// value a text reads as and the fallbacks for unknown texts and values.
#pragma once
#include <array>
#include <cstddef>
#include <string_view>

namespace capstore {

struct ValueText {
    std::string_view text;
    int value;
};

// Reading compares texts without case; any other text reads as read_default.
// Writing gives the text of the value, or write_default for other values.
struct ValueTexts {
    const ValueText* rows;
    std::size_t count;
    int read_default;
    std::string_view write_default;

    int read(std::string_view stored) const;
    std::string_view write(int value) const;
};

namespace texts {
inline constexpr ValueText kParity[] = {{"None", 0}, {"Odd", 1}, {"Even", 2}};
inline constexpr ValueText kWarn[] = {{"Disable", 0}, {"Enable", 1}};
inline constexpr ValueText kMode[] = {{"Flat", 0}, {"Ring", 1}};
inline constexpr ValueText kFormat[] = {{"Print", 0}, {"CSV", 1}};
inline constexpr ValueText kLine[] = {{"SDRD", 0}, {"SD", 1}, {"RD", 2}};
inline constexpr ValueText kPrintFormat[] = {{"Normal", 0}, {"Translate", 1}};
inline constexpr ValueText kPrintData[] = {{"CharHex", 0}, {"Char", 1}, {"Hex", 2}};
inline constexpr ValueText kFrame[] = {{"SDLC", 0}, {"X25", 1}, {"X25X", 2}, {"X25UA", 3}, {"LAPD", 4}};
inline constexpr ValueText kPacket[] = {{"Off", 0}, {"X25", 1}, {"DDX", 2}, {"LAPD", 3}};
inline constexpr ValueText kCsvForm[] = {{"Data", 0}, {"Frame", 1}};
inline constexpr ValueText kCsvData[] = {{"Hex", 0}, {"Dec", 1}, {"Char", 2}};
}  // namespace texts

template <std::size_t N>
constexpr ValueTexts value_texts(const ValueText (&rows)[N], int read_default, std::string_view write_default) {
    return {rows, N, read_default, write_default};
}

// One entry per setting; the defaults differ between reading and writing
// where the stored texts do (an unknown frame reads as X25, frame 7 writes SDLC).
inline constexpr ValueTexts kParityTexts = value_texts(texts::kParity, 0, "None");
inline constexpr ValueTexts kWarnTexts = value_texts(texts::kWarn, 1, "Enable");
inline constexpr ValueTexts kModeTexts = value_texts(texts::kMode, 0, "Flat");
inline constexpr ValueTexts kFormatTexts = value_texts(texts::kFormat, 0, "Print");
inline constexpr ValueTexts kLineTexts = value_texts(texts::kLine, 0, "SDRD");
inline constexpr ValueTexts kPrintFormatTexts = value_texts(texts::kPrintFormat, 0, "Normal");
inline constexpr ValueTexts kPrintDataTexts = value_texts(texts::kPrintData, 0, "CharHex");
inline constexpr ValueTexts kFrameTexts = value_texts(texts::kFrame, 1, "SDLC");
inline constexpr ValueTexts kPacketTexts = value_texts(texts::kPacket, 0, "Off");
inline constexpr ValueTexts kCsvFormTexts = value_texts(texts::kCsvForm, 0, "Data");
inline constexpr ValueTexts kCsvDataTexts = value_texts(texts::kCsvData, 2, "Char");

}  // namespace capstore
