// Builds PC buffers for tests: "datainfo.mkw" and numbered block files (or a
// single data file) from a list of record words, plus helpers that make the
// record words the analyzer stores. Header-only so every textlib test binary
// (unit, threaded, fuzz, bench) can use it.
#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace textlib_test {

constexpr int kBlockWords = 0x40000;
using InfoBody = std::array<std::uint8_t, 2038>;

// Record words ----------------------------------------------------------------

// A cell: status in bits 0-3, direction marker, character in the high byte.
constexpr std::uint16_t CellOf(int ch, int status, bool rd) {
    return static_cast<std::uint16_t>((ch & 0xFF) << 8 | (rd ? 0x20 : 0x10) | (status & 0xF));
}
constexpr std::uint32_t Word(std::uint16_t sd, std::uint16_t rd) { return std::uint32_t{rd} << 16 | sd; }
// One-direction words as the capture writer expands the analyzer's 2-byte
// units: SD "b0|0x30, b1, 0x2F, 0x00", RD "0xBF, 0x00, b0, b1".
constexpr std::uint32_t Sd(int ch, int status = 0) {
    return Word(static_cast<std::uint16_t>(CellOf(ch, status, false) | 0x30), 0x002F);
}
constexpr std::uint32_t Rd(int ch, int status = 0) { return Word(0x00BF, CellOf(ch, status, true)); }
constexpr std::uint32_t SdRd(int sd, int rd, int sdStatus = 0, int rdStatus = 0) {
    return Word(CellOf(sd, sdStatus, false), CellOf(rd, rdStatus, true));
}
constexpr std::uint32_t Idle(unsigned value) { return 0x02u | (value & 0xFF) << 8 | ((value >> 8) & 0xFF) << 24; }
constexpr std::uint32_t Bcd(int v) { return static_cast<std::uint32_t>((v / 10) << 4 | (v % 10)); }
constexpr std::uint32_t TimeStamp(bool rd, int h, int m, int s) {
    return 0x03u | ((rd ? 0x80u : 0u) | Bcd(h)) << 8 | Bcd(m) << 16 | Bcd(s) << 24;
}
// Signal n (0 RS .. 7 EX) is bit 0x80 >> n of `before` and `after`.
constexpr std::uint32_t LineState(int before, int after) {
    return 0x01u | static_cast<std::uint32_t>(before & 0xFF) << 8 | static_cast<std::uint32_t>(after & 0xFF) << 24;
}
constexpr std::uint32_t Gap(int lost) { return 0xFF80u | static_cast<std::uint32_t>(lost & 0xFFFF) << 16; }

// Words for a text: one SD (or RD) word per character.
inline std::vector<std::uint32_t> SdText(const std::string& s) {
    std::vector<std::uint32_t> w;
    for (unsigned char c : s) w.push_back(Sd(c));
    return w;
}
inline std::vector<std::uint32_t> RdText(const std::string& s) {
    std::vector<std::uint32_t> w;
    for (unsigned char c : s) w.push_back(Rd(c));
    return w;
}
inline void Append(std::vector<std::uint32_t>& to, const std::vector<std::uint32_t>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

// Data-info bodies -----------------------------------------------------------

// ASYNC, 9600/9600, ASCII, 8 bits, no parity, 1 stop bit, no BCC.
inline InfoBody AsyncBody(int code = 0) {
    InfoBody b{};
    b[1] = 0;   // mode
    b[2] = 18;  // S-SPEED 9600
    b[3] = 18;  // R-SPEED 9600
    b[4] = static_cast<std::uint8_t>(code);
    b[5] = 3;  // 8 bits
    return b;
}

// Files ----------------------------------------------------------------------

inline void WriteBytes(const std::string& path, const void* data, std::size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) throw std::runtime_error("cannot create " + path);
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    if (std::fclose(f) != 0 || !ok) throw std::runtime_error("cannot write " + path);
}

inline std::vector<std::uint8_t> WordBytes(const std::uint32_t* words, std::size_t count) {
    std::vector<std::uint8_t> bytes(count * 4);
    for (std::size_t i = 0; i < count; ++i)
        for (int k = 0; k < 4; ++k) bytes[i * 4 + k] = static_cast<std::uint8_t>(words[i] >> (8 * k));
    return bytes;
}

inline std::string BlockName(const std::string& folder, int block) {
    char name[32];
    std::snprintf(name, sizeof name, "/%08d.mkw", block);
    return folder + name;
}

// "datainfo.mkw": magic, model code 4, then the body.
inline void WriteInfoFile(const std::string& folder, const InfoBody& body) {
    std::vector<std::uint8_t> bytes(20 + body.size());
    std::memcpy(bytes.data(), "MIRLOKE DATAINFO", 16);
    bytes[16] = 4;
    std::memcpy(bytes.data() + 20, body.data(), body.size());
    WriteBytes(folder + "/datainfo.mkw", bytes.data(), bytes.size());
}

// Writes the info file and the words as full blocks from `firstBlock` on, the
// last block holding the rest (an empty last block only for no words at all).
inline void WriteBuffer(const std::string& folder, const InfoBody& body, const std::vector<std::uint32_t>& words,
                        int firstBlock = 0) {
    WriteInfoFile(folder, body);
    std::size_t done = 0;
    int block = firstBlock;
    do {
        std::size_t n = std::min<std::size_t>(kBlockWords, words.size() - done);
        auto bytes = WordBytes(words.data() + done, n);
        WriteBytes(BlockName(folder, block++), bytes.data(), bytes.size());
        done += n;
    } while (done < words.size());
}

// A single data file: the body with the record count at offset 2034, then the words.
inline void WriteSingleFile(const std::string& path, InfoBody body, const std::vector<std::uint32_t>& words,
                            std::int64_t storedCount = -1) {
    std::uint32_t count =
        static_cast<std::uint32_t>(storedCount < 0 ? static_cast<std::int64_t>(words.size()) : storedCount);
    for (int k = 0; k < 4; ++k) body[2034 + k] = static_cast<std::uint8_t>(count >> (8 * k));
    std::vector<std::uint8_t> bytes(body.begin(), body.end());
    auto w = WordBytes(words.data(), words.size());
    bytes.insert(bytes.end(), w.begin(), w.end());
    WriteBytes(path, bytes.data(), bytes.size());
}

}  // namespace textlib_test
