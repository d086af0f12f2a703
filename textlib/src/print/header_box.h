// The 38-character box that opens every print and translation output, built
// from the measurement conditions in the data-info body.
#pragma once
#include <cstdint>
#include <string>

namespace textlib {

// The whole box, its closing line and the empty line after it, with "\n" line ends.
std::string HeaderBox(const std::uint8_t* body);

}  // namespace textlib
