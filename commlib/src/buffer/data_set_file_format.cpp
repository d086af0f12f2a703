// Encoding and checking of the 20-byte data-set file header.
#include "buffer/data_set_file_format.h"

#include <algorithm>
#include <cstring>

namespace commlib {

std::array<std::uint8_t, DataSetHeaderSize> EncodeHeader(const DataSetHeader& header) {
    std::array<std::uint8_t, DataSetHeaderSize> out{};
    std::copy(header.magic.begin(), header.magic.end(), out.begin());
    const auto model = static_cast<std::uint32_t>(header.model);
    for (int i = 0; i < 4; ++i) out[MagicSize + i] = static_cast<std::uint8_t>(model >> (8 * i));
    return out;
}

bool MagicMatches(std::span<const std::uint8_t> bytes, const char* magic) {
    return bytes.size() >= MagicSize && std::memcmp(bytes.data(), magic, MagicSize) == 0;
}

DataSetHeader MakeHeader(const char* magic, std::int32_t model) {
    DataSetHeader header{};
    std::memcpy(header.magic.data(), magic, MagicSize);
    header.model = model;
    return header;
}

}  // namespace commlib
