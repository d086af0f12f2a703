// The information updates applied to the measurement-information body, with
// the bounds rule: a field is written whole inside the body or not at all.
#include <cstdint>

#include "capture/info_layouts.h"
#include "platform/little_endian.h"

namespace commlib::capture {
namespace {

// The analyzer picks the positions (s and index come from the line), so every
// write is checked against the body in 64-bit arithmetic before it happens.
bool Fits(std::span<std::uint8_t> body, std::int64_t offset, std::int64_t size) {
    return offset >= 0 && offset + size <= static_cast<std::int64_t>(body.size());
}

void Put(std::span<std::uint8_t> body, std::int64_t offset, const std::uint8_t* src, int size) {
    if (!Fits(body, offset, size)) return;
    for (int i = 0; i < size; ++i) body[static_cast<std::size_t>(offset) + i] = src[i];
}

void Put16(std::span<std::uint8_t> body, std::int64_t offset, std::uint32_t value) {
    std::uint8_t bytes[2];
    platform::writeUint16(bytes, value);
    Put(body, offset, bytes, 2);
}

void ApplyCounters(std::span<std::uint8_t> body, std::span<const std::uint8_t> payload) {
    for (std::size_t at = 0; at + 6 <= payload.size(); at += 6) {
        const std::uint16_t id = platform::readUint16(&payload[at]);
        const auto row = std::lower_bound(CounterFields.begin(), CounterFields.end(), id,
                                          [](const CounterField& f, std::uint16_t v) { return f.id < v; });
        if (row == CounterFields.end() || row->id != id) continue;
        Put(body, row->offset, &payload[at + 2], row->size);  // low bytes first: 2 of them are the low 16 bits
    }
}

void ApplyListed(std::span<std::uint8_t> body, const InfoItemLayout& row, std::span<const std::uint8_t> payload) {
    const std::uint16_t v = platform::readUint16(&payload[0]);
    const std::uint16_t raw = platform::readUint16(&payload[2]);
    const std::int64_t s = row.signedStart ? static_cast<std::int16_t>(raw) : raw;
    std::int64_t k = 0;
    for (std::size_t at = 4; at + row.entryBytes <= payload.size(); at += row.entryBytes, ++k)
        Put(body, AreaStart + row.entryTo + row.entryBytes * (s + k), &payload[at], row.entryBytes);
    Put16(body, AreaStart + row.valueTo, v);
}

void ApplyIndexed(std::span<std::uint8_t> body, std::span<const std::uint8_t> payload) {
    for (std::size_t at = 0; at + 12 <= payload.size(); at += 12) {
        const std::int32_t index = platform::readInt32(&payload[at]);
        const std::uint8_t* values = &payload[at + 4];  // a, b, c, d
        if (index == -1) {
            const std::uint32_t a = platform::readUint16(&values[0]);
            const std::uint32_t c = platform::readUint16(&values[4]);
            Put16(body, AreaStart, a + c);
            Put16(body, AreaStart + 2, c);
        } else {
            Put(body, AreaStart + std::int64_t{8} * index, values, 8);
        }
    }
}

}  // namespace

void ApplyInformationUpdate(std::span<std::uint8_t> body, std::uint16_t item, std::span<const std::uint8_t> payload) {
    if (item == ItemCounters) return ApplyCounters(body, payload);
    const auto row = std::lower_bound(InfoItemLayouts.begin(), InfoItemLayouts.end(), item,
                                      [](const InfoItemLayout& r, std::uint16_t v) { return r.item < v; });
    if (row == InfoItemLayouts.end() || row->item != item) return;
    if (payload.size() < static_cast<std::size_t>(row->minimum)) return;
    switch (row->shape) {
    case Shape::Fields:
        for (const FieldCopy& f : row->fields) Put(body, AreaStart + f.to, &payload[f.from], f.size);
        return;
    case Shape::Listed: return ApplyListed(body, *row, payload);
    case Shape::Indexed: return ApplyIndexed(body, payload);
    }
}

}  // namespace commlib::capture
