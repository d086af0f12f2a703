// The generator a measurement draws its record words from: the line mode's
// traffic fills a queue one exchange at a time, and the queue hands out words.
#include <deque>

#include "traffic/traffic_context.h"

namespace simulator {

struct TrafficGenerator::State {
    State(const LineConditions& c, std::uint64_t seed) : ctx(c, seed) {
        switch (c.mode) {
        case LineMode::Async: mode = make_async_traffic(); break;
        case LineMode::Sync: mode = make_sync_traffic(); break;
        case LineMode::Hdlc:
        case LineMode::Nrzi: mode = make_hdlc_traffic(c.protocol, seed); break;
        case LineMode::Ppp: mode = make_ppp_traffic(); break;
        }
        // The line comes up: modem ready, carrier, terminal ready.
        ctx.signals(0x38);
    }
    TrafficContext ctx;
    std::unique_ptr<ModeTraffic> mode;
    std::size_t next = 0;
};

TrafficGenerator::TrafficGenerator(const LineConditions& conditions, std::uint64_t seed)
    : state_(std::make_unique<State>(conditions, seed)) {}

TrafficGenerator::~TrafficGenerator() = default;

std::uint32_t TrafficGenerator::next() {
    auto& words = state_->ctx.out();
    while (state_->next >= words.size()) {
        words.clear();
        state_->next = 0;
        state_->mode->next_exchange(state_->ctx);
    }
    return words[state_->next++];
}

std::vector<std::uint32_t> generate_records(const LineConditions& conditions, std::uint64_t seed, std::size_t count) {
    TrafficGenerator generator(conditions, seed);
    std::vector<std::uint32_t> words;
    words.reserve(count);
    for (std::size_t i = 0; i < count; ++i) words.push_back(generator.next());
    return words;
}

}  // namespace simulator
