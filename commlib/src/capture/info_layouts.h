// Where the analyzer's information updates land in the 2038-byte body of the
// measurement information ("datainfo.mkw"): the ids of item 0xE000 and the
// layouts of items 0xE800 to 0xEC00, one row each, as the analyzer sends them.
#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

namespace commlib::capture {

inline constexpr std::uint16_t ItemConditions = 0x8100;
inline constexpr std::uint16_t ItemCounters = 0xE000;

// Item 0xE000 is a list of { id (16), value (32) }; each known id has one field.
struct CounterField {
    std::uint16_t id;
    int offset;  // in the body
    int size;    // 2: the value's low 16 bits, 4: all of it
};
inline constexpr std::array<CounterField, 10> CounterFields{{
    {0x5200, 390, 2},
    {0x5201, 396, 2},
    {0x5300, 402, 2},
    {0x5301, 408, 2},
    {0xE100, 412, 4},
    {0xE101, 416, 4},
    {0xE200, 388, 2},
    {0xE201, 394, 2},
    {0xE300, 400, 2},
    {0xE301, 406, 2},
}};
static_assert(std::adjacent_find(CounterFields.begin(), CounterFields.end(),
                                 [](const auto& a, const auto& b) { return a.id >= b.id; }) == CounterFields.end(),
              "searched by id: sorted and unique");

// The items 0xE800 to 0xEC00 share the area from body offset 420.
inline constexpr int AreaStart = 420;

// A payload field copied into the area: `size` bytes from payload offset `from` to R + `to`.
struct FieldCopy {
    int to;
    int size;
    int from;
};
// clang-format off
inline constexpr std::array<FieldCopy, 5> E800Fields{{
    {0, 2, 0}, {2, 4, 8}, {6, 4, 12}, {10, 4, 16}, {14, 4, 20},
}};
inline constexpr std::array<FieldCopy, 15> EA00Fields{{
    {4, 2, 2}, {0, 4, 4},
    {6, 2, 8}, {8, 2, 12}, {10, 2, 14}, {12, 2, 16}, {14, 2, 20}, {16, 2, 22}, {18, 2, 24},
    {20, 2, 28}, {22, 2, 30}, {24, 2, 32}, {26, 2, 36}, {28, 2, 38}, {30, 2, 40},
}};
// clang-format on

enum class Shape {
    Fields,   // fixed fields
    Listed,   // v (16), s (16), then entries k copied to R + entryTo + entryBytes x (s + k); finally v to R + valueTo
    Indexed,  // 12-byte entries { index (32), a, b, c, d (16 each) }
};

struct InfoItemLayout {
    std::uint16_t item;
    int minimum;  // shorter payloads are ignored
    Shape shape;
    std::span<const FieldCopy> fields;  // Fields
    int entryBytes;                     // Listed
    int entryTo;
    int valueTo;
    bool signedStart;  // s read as a signed number
};
inline constexpr std::array<InfoItemLayout, 5> InfoItemLayouts{{
    {0xE800, 24, Shape::Fields, E800Fields, 0, 0, 0, false},
    {0xE900, 4, Shape::Listed, {}, 8, 14, 12, false},
    {0xEA00, 44, Shape::Fields, EA00Fields, 0, 0, 0, false},
    {0xEB00, 4, Shape::Listed, {}, 4, 2, 0, true},
    {0xEC00, 12, Shape::Indexed, {}, 0, 0, 0, false},
}};
static_assert(std::adjacent_find(InfoItemLayouts.begin(), InfoItemLayouts.end(),
                                 [](const auto& a, const auto& b) { return a.item >= b.item; }) ==
                  InfoItemLayouts.end(),
              "searched by item: sorted and unique");

// Applies item 0xE000 or 0xE800..0xEC00 to the body. Every write that would
// reach outside the body is left out whole; unknown items and ids change nothing.
void ApplyInformationUpdate(std::span<std::uint8_t> body, std::uint16_t item, std::span<const std::uint8_t> payload);

}  // namespace commlib::capture
