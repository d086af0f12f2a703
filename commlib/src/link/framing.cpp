// Transmit framings: binary blocks and SYN frames.
#include "link/framing.h"

#include <algorithm>

#include "link/crc16.h"

namespace commlib {

std::size_t FrameBinaryBlock(std::span<const std::uint8_t> data, std::span<std::uint8_t> out) {
    const std::size_t n = std::min(data.size(), BinaryBlockMaxData);
    if (out.size() < n + 4) return 0;
    out[0] = '&';
    out[1] = static_cast<std::uint8_t>(n & 0xFF);
    out[2] = static_cast<std::uint8_t>(n >> 8);
    unsigned sum = out[1] + out[2];
    for (std::size_t i = 0; i < n; ++i) {
        out[3 + i] = data[i];
        sum += data[i];
    }
    // The check byte makes length, data and check sum to 0 modulo 256.
    out[3 + n] = static_cast<std::uint8_t>(0x100 - (sum & 0xFF));
    return n + 4;
}

std::unique_ptr<LinkMessage> MakeBinaryBlock(std::span<const std::uint8_t> data) {
    auto msg = std::make_unique<LinkMessage>(FramingBinary);
    msg->length = static_cast<int>(FrameBinaryBlock(data, std::span(msg->data)));
    return msg;
}

namespace {

// Appends one byte with stuffing; false when out is full.
bool PutStuffed(std::uint8_t b, std::span<std::uint8_t> out, std::size_t& pos) {
    if (NeedsStuffing(b)) {
        if (pos + 2 > out.size()) return false;
        out[pos++] = DLE;
        out[pos++] = static_cast<std::uint8_t>(b ^ 0x40);
        return true;
    }
    if (pos + 1 > out.size()) return false;
    out[pos++] = b;
    return true;
}

}  // namespace

std::size_t FrameSyn(std::span<const std::uint8_t> data, std::span<std::uint8_t> out) {
    std::size_t pos = 0;
    if (out.empty()) return 0;
    out[pos++] = SYN;
    std::uint16_t reg = Crc16Preset;
    for (std::uint8_t b : data) {
        reg = Crc16x25Step(reg, b);
        if (!PutStuffed(b, out, pos)) return 0;
    }
    const std::uint16_t crc = static_cast<std::uint16_t>(~reg);
    if (!PutStuffed(static_cast<std::uint8_t>(crc & 0xFF), out, pos)) return 0;
    if (!PutStuffed(static_cast<std::uint8_t>(crc >> 8), out, pos)) return 0;
    if (pos + 1 > out.size()) return 0;
    out[pos++] = SYN;
    return pos;
}

std::vector<std::uint8_t> SynFrame(std::span<const std::uint8_t> data) {
    // Worst case: every data and CRC byte stuffed, plus the two SYNs.
    std::vector<std::uint8_t> out(2 * (data.size() + 2) + 2);
    out.resize(FrameSyn(data, out));
    return out;
}

}  // namespace commlib
