// Random data-set bodies whose covered bytes hold values the settings file can show,
// together with a mark for every byte the file carries for those values. Used by the
// round-trip property tests.
#pragma once
#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "setxfer/settings_file.h"

namespace setxfer_test {

struct Marked {
    std::vector<std::uint8_t> bytes;
    std::vector<bool> carried;  // the file holds this byte
};

class Filler {
public:
    Filler(Marked& m, std::mt19937& rng) : m_(m), rng_(rng) {}
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    std::uint8_t set(std::size_t off, int value) {
        m_.bytes[off] = static_cast<std::uint8_t>(value);
        m_.carried[off] = true;
        return m_.bytes[off];
    }
    std::uint8_t index(std::size_t off, int n) { return set(off, pick(n)); }
    std::uint8_t any(std::size_t off) { return set(off, pick(256)); }
    void u16(std::size_t off, int min, int max) {
        int v = min + pick(max - min + 1);
        set(off, v & 0xFF);
        set(off + 1, v >> 8);
    }

private:
    Marked& m_;
    std::mt19937& rng_;
};

inline Marked random_marked(std::size_t size, std::mt19937& rng) {
    Marked m{std::vector<std::uint8_t>(size), std::vector<bool>(size, false)};
    for (auto& b : m.bytes) b = static_cast<std::uint8_t>(rng());
    return m;
}

}  // namespace setxfer_test

#include "random_program.h"
#include "random_setup.h"
