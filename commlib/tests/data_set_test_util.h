// Shared bits of the data-set tests: patterned bodies and data-set files
// built byte by byte, independent of the code under test.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace commlib::test {

using Bytes = std::vector<std::uint8_t>;

// n bytes that differ from their neighbours, so a misplaced copy shows.
inline Bytes Pattern(int n, int seed = 0) {
    Bytes b(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7 + seed + i / 251);
    return b;
}

// A data-set file: the 16-character magic, the model code, then the body.
inline Bytes DataSetFile(const std::string& magic, int model, const Bytes& body) {
    Bytes f(magic.begin(), magic.end());
    for (int i = 0; i < 4; ++i) f.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(model) >> (8 * i)));
    f.insert(f.end(), body.begin(), body.end());
    return f;
}

inline void PutInt16(Bytes& b, std::size_t at, int v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline void PutInt32(Bytes& b, std::size_t at, std::int64_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace commlib::test
