// Small helpers shared by the settings-file tests: a setup body that reads back
// cleanly, section text round trips and byte views of strings.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "sections.h"
#include "setxfer/settings_file.h"
#include "token_reader.h"

namespace setxfer_test {

inline std::span<const std::uint8_t> bytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// All zero except what the ranges need: timers and counters 1, a one-byte slave address.
inline std::vector<std::uint8_t> base_setup() {
    std::vector<std::uint8_t> s(SetupSize, 0);
    for (int off : {346, 350, 354, 358}) s[off] = 1;
    s[457] = 1;
    s[458] = 0x5a;
    return s;
}

struct SectionRun {
    setxfer::SectionResult result;
    bool consumed_all;  // the reader took exactly the section's tokens
};

inline SectionRun read_section(setxfer::SectionReader reader, const std::string& text, std::vector<std::uint8_t>& setup,
                               setxfer::Model model = setxfer::Model::RV7030) {
    setxfer::TokenReader in(bytes(text));
    auto result = reader(in, setup, model);
    return {result, in.at_end()};
}

inline std::string write_section(setxfer::SectionWriter writer, const std::vector<std::uint8_t>& setup,
                                 setxfer::Model model = setxfer::Model::RV7030) {
    std::string out;
    writer(out, setup, model);
    return out;
}

}  // namespace setxfer_test
