// Item records of query and set answers ({item (16), length (1), value}) and
// the little-endian values they carry, plus the text-mode identification
// line. Pure functions, shared by the handshake and the request handlers.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace commlib::engine {

struct ItemRecord {
    std::uint16_t item;
    std::span<const std::uint8_t> value;
};

// Records are taken while at least 3 bytes remain; a record whose value does
// not fit in what remains ends the list.
std::vector<ItemRecord> ParseItemRecords(std::span<const std::uint8_t> bytes);

// Little-endian unsigned value of the first `max` bytes (fewer when shorter).
std::uint32_t LittleEndian(std::span<const std::uint8_t> bytes, std::size_t max = 4);

// Firmware version from the 0x0003 item: scaled by how many bytes it has.
int VersionFromItem(std::span<const std::uint8_t> value);

// Model code by exact model name; `fallback` for any other name.
int ModelCodeFor(std::string_view name, int fallback);

struct Identification {
    std::string name;  // at most 63 characters
    int version = 0;   // ((major << 8) | minor) << 12
};
// The text-mode identification line: model name, a space, major.minor in hexadecimal.
Identification ParseIdentification(std::span<const std::uint8_t> line);

}  // namespace commlib::engine
