// The public face of the simulated analyzer: feeds the receiver, dispatches
// to the dialect in force, and paces the captured data on the clock.
#include "simulator/analyzer.h"

#include "session/device.h"

namespace simulator {
namespace {

// Captured-data items per tick at most, so one call never grows without bound.
constexpr std::size_t kItemsPerTick = 16;

}  // namespace

struct Analyzer::Impl {
    Impl(const AnalyzerOptions& o, std::uint64_t now_ms) : device(o, now_ms) {}
    Device device;
    std::vector<std::uint8_t> screen;
};

Analyzer::Analyzer(const AnalyzerOptions& options, std::uint64_t now_ms)
    : impl_(std::make_unique<Impl>(options, now_ms)) {}

Analyzer::~Analyzer() = default;

std::vector<std::uint8_t> Analyzer::receive(std::span<const std::uint8_t> bytes, std::uint64_t now_ms) {
    Device& d = impl_->device;
    d.now = now_ms;
    d.out.clear();
    if (d.dead) return {};
    std::vector<Incoming> events;
    for (std::uint8_t b : bytes) {
        events.clear();
        d.receiver.feed(b, events);
        // Each event may switch the dialect, which changes how the next byte is read.
        for (const Incoming& in : events) {
            if (in.kind == Incoming::Kind::Frame) handle_packet(d, in.data);
            else if (in.kind == Incoming::Kind::Attention && d.packet) {
                // A PC starting afresh while we are in packet mode: renumber, stay silent.
                d.tx_seq = d.rx_seq = 0;
                d.sent.clear();
            } else if (!d.packet) {
                handle_text(d, in);
            }
        }
    }
    return std::move(d.out);
}

std::vector<std::uint8_t> Analyzer::tick(std::uint64_t now_ms, bool line_idle) {
    Device& d = impl_->device;
    d.now = now_ms;
    d.out.clear();
    d.release_held();
    text_timeouts(d);
    d.send_keep_alive();
    if (d.measurement.running()) {
        for (auto& value : d.measurement.take_data(now_ms, line_idle && d.held.empty(), kItemsPerTick))
            d.notify(0x8000, value);
        // The file is played out: the analyzer ends the measurement itself.
        if (d.measurement.replay_ended()) d.stop_measurement(kStopByKey);
        d.send_updates();
        d.report_status();
    }
    return std::move(d.out);
}

std::vector<std::uint8_t> Analyzer::press_local_key(int code, std::uint64_t now_ms) {
    Device& d = impl_->device;
    d.now = now_ms;
    d.out.clear();
    // The panel reports its keys to a PC that listens; the PC decides whether
    // the key takes effect by sending it back.
    if (d.packet && d.wants(0x0C20)) {
        std::vector<std::uint8_t> value{static_cast<std::uint8_t>(code)};
        if (code > 0xFF) value.push_back(static_cast<std::uint8_t>(code >> 8));
        d.notify(0x0C20, value);
    } else {
        d.press_key(code);
    }
    return std::move(d.out);
}

bool Analyzer::packet_mode() const { return impl_->device.packet; }
bool Analyzer::measuring() const { return impl_->device.measurement.running(); }
std::uint16_t Analyzer::status_word() const { return impl_->device.measurement.status_word(); }
std::uint64_t Analyzer::records_sent() const { return impl_->device.measurement.records(); }

std::optional<ReplayReport> Analyzer::take_replay_report(bool running_too) {
    return impl_->device.measurement.take_report(running_too);
}

std::vector<std::uint8_t> Analyzer::data_set(std::uint16_t item) const {
    const Device& d = impl_->device;
    const auto kind = set_for_item(item);
    if (!kind || !d.store.has(*kind)) return {};
    return *kind == SetKind::Screen ? d.screen() : d.store.bytes(*kind);
}

std::span<const std::uint8_t> Analyzer::screen() const {
    impl_->screen = impl_->device.screen();
    return impl_->screen;
}

}  // namespace simulator
