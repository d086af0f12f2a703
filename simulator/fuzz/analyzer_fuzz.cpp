// Whatever a PC program sends, the analyzer must neither crash nor grow
// without bound. The first byte picks the model and whether the input starts
// in packet mode; the rest is fed in chunks with clock ticks between them.
#include <cstddef>
#include <cstdint>
#include <span>

#include "simulator/analyzer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    simulator::AnalyzerOptions o;
    o.model = static_cast<simulator::Model>(data[0] % 3);
    o.records_per_second = 1000;  // a few dozen records per tick keeps runs fast
    o.line_mode = static_cast<simulator::LineMode>((data[0] >> 2) % 5);
    simulator::Analyzer a(o);
    std::uint64_t now = 0;
    if (data[0] & 0x80) {
        static constexpr std::uint8_t kEnter[] = {'#', '#', '#', '%', '@', 'X', '\r', '\n'};
        a.receive(kEnter, now);
    }
    std::span<const std::uint8_t> rest(data + 1, size - 1);
    while (!rest.empty()) {
        const std::size_t n = std::min<std::size_t>(rest.size(), 1 + rest[0] % 64);
        a.receive(rest.first(n), now);
        now += 37;
        a.tick(now);
        rest = rest.subspan(n);
    }
    return 0;
}
