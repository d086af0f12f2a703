// Parsing of item records, identification lines and the values they carry.
#include "engine/item_records.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "commlib/analyzer_words.h"
#include "platform/little_endian.h"

namespace commlib::engine {

std::vector<ItemRecord> ParseItemRecords(std::span<const std::uint8_t> bytes) {
    std::vector<ItemRecord> records;
    std::size_t pos = 0;
    while (bytes.size() - pos >= 3) {
        const auto item = platform::readUint16(&bytes[pos]);
        const std::size_t length = bytes[pos + 2];
        if (bytes.size() - pos - 3 < length) break;
        records.push_back({item, bytes.subspan(pos + 3, length)});
        pos += 3 + length;
    }
    return records;
}

std::uint32_t LittleEndian(std::span<const std::uint8_t> bytes, std::size_t max) {
    std::uint32_t v = 0;
    const std::size_t n = std::min({bytes.size(), max, std::size_t{4}});
    for (std::size_t i = 0; i < n; ++i) v |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return v;
}

int VersionFromItem(std::span<const std::uint8_t> value) {
    // Older firmware sends the version in fewer bytes; each length has its own scale.
    constexpr std::array<int, 4> Shift{0, 16, 12, 4};
    if (value.empty()) return 0;
    if (value.size() >= 4) return static_cast<int>(LittleEndian(value));
    return static_cast<int>(LittleEndian(value) << Shift[value.size()]);
}

namespace {

bool IsSpace(std::uint8_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int HexDigit(std::uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::uint32_t ReadHex(std::span<const std::uint8_t> s, std::size_t& pos) {
    std::uint32_t v = 0;
    for (int d; pos < s.size() && (d = HexDigit(s[pos])) >= 0; ++pos) v = v << 4 | static_cast<std::uint32_t>(d);
    return v;
}

}  // namespace

int ModelCodeFor(std::string_view name, int fallback) {
    const auto index = AnalyzerModelIndex(name);
    return index ? AnalyzerModels[*index].code : fallback;
}

Identification ParseIdentification(std::span<const std::uint8_t> line) {
    Identification id;
    std::size_t pos = 0;
    while (pos < line.size() && line[pos] == ' ') ++pos;
    for (; pos < line.size() && !IsSpace(line[pos]); ++pos)
        if (id.name.size() < 63) id.name.push_back(static_cast<char>(line[pos]));
    while (pos < line.size() && IsSpace(line[pos])) ++pos;
    const std::uint32_t major = ReadHex(line, pos);
    std::uint32_t minor = 0;
    if (pos < line.size() && line[pos] == '.') minor = ReadHex(line, ++pos);
    id.version = static_cast<int>(((major << 8) | minor) << 12);
    return id;
}

}  // namespace commlib::engine
