// The record words of a PC buffer's block files as the end-to-end tests read
// them, and the words `zamvex simulate --seed N` sends with its default setup.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "process_util.h"
#include "sets/data_store.h"
#include "simulator/traffic.h"

namespace cli_test {

inline std::vector<std::uint32_t> read_words(const std::string& path) {
    const std::string bytes = read_text(path);
    std::vector<std::uint32_t> words(bytes.size() / 4);
    for (std::size_t i = 0; i < words.size(); ++i) {
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + 4 * i);
        words[i] = b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t{b[3]} << 24;
    }
    return words;
}

// The line conditions of `zamvex simulate`'s default setup.
inline simulator::LineConditions default_conditions() {
    const simulator::AnalyzerOptions o;
    return simulator::LineConditions::from_setup(
        simulator::default_setup(o.model, o.line_mode.value_or(simulator::LineMode::Hdlc)), o.protocol);
}

// The seed's words as `zamvex simulate` sends them with its default setup.
inline std::vector<std::uint32_t> seed_words(std::uint64_t seed, std::size_t count) {
    return simulator::generate_records(default_conditions(), seed, count);
}

}  // namespace cli_test
