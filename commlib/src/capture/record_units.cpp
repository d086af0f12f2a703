// The hot loop of a capture: the units of one data item into record words.
#include "capture/record_units.h"

namespace commlib::capture {

Expanded ExpandUnits(std::span<const std::uint8_t> in, std::uint8_t* out, std::size_t maxWords) {
    const std::uint8_t* p = in.data();
    std::size_t left = in.size();
    std::size_t units = 0;
    while (units < maxWords && left >= 2) {
        const std::size_t size = UnitSize(p[0]);
        if (size > left) break;
        if (out) ExpandUnit(p, out + units * WordBytes);
        p += size;
        left -= size;
        ++units;
    }
    return {in.size() - left, units};
}

} // namespace commlib::capture
