// Output with the fault switches, and the actions both dialects share:
// keys, measurement start and stop, status reports, the screen.
#include "session/device.h"

#include <algorithm>

#include <cstdio>

namespace simulator {
namespace {

std::vector<std::uint8_t> le16(unsigned v) { return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)}; }

}  // namespace

Device::Device(const AnalyzerOptions& opts, std::uint64_t now_ms)
    : options(opts), store(opts.model, opts.line_mode.value_or(LineMode::Hdlc)), measurement(opts), now(now_ms) {
    dead = opts.faults.mute;
    if (opts.faults.measuring_at_connect) {
        // Started before the PC came: a refusal switch is about later starts.
        measurement.start(store.setup(), now_ms, false);
        store.set(SetKind::Info, measurement.info());
        reported_status = measurement.status_word();
    }
}

void Device::send_text(std::string_view text) {
    if (dead) return;
    out.insert(out.end(), text.begin(), text.end());
}

void Device::send_bytes(const std::vector<std::uint8_t>& bytes) {
    if (dead) return;
    out.insert(out.end(), bytes.begin(), bytes.end());
}

void Device::send_packet(std::vector<std::uint8_t> packet) {
    if (packet.size() >= 2 && packet[0] > '?') {
        packet[1] = tx_seq;
        sent[tx_seq] = packet;
        sent.erase(static_cast<std::uint8_t>(tx_seq - 64));  // keep the last 64 for repeats
        ++tx_seq;
    }
    send_frame(packet);
}

void Device::send_frame(const std::vector<std::uint8_t>& packet) {
    if (dead) return;
    const std::uint64_t n = ++frames;
    const Faults& f = options.faults;
    if (f.silent_after_frames && n > *f.silent_after_frames) {
        dead = true;
        return;
    }
    if (f.drop_frames.count(n)) return;
    std::vector<std::uint8_t> bytes = frame_packet(packet, f.corrupt_frames.count(n) > 0);
    // Frames behind a held one wait with it, so the order on the line stays.
    if (f.delay_frames.count(n) || !held.empty()) {
        const std::uint64_t due =
            f.delay_frames.count(n) ? now + static_cast<std::uint64_t>(f.delay_ms) : held.back().first;
        held.emplace_back(std::max(due, held.empty() ? due : held.back().first), std::move(bytes));
        return;
    }
    out.insert(out.end(), bytes.begin(), bytes.end());
}

void Device::release_held() {
    while (!held.empty() && held.front().first <= now) {
        if (!dead) out.insert(out.end(), held.front().second.begin(), held.front().second.end());
        held.pop_front();
    }
}

bool Device::wants(std::uint16_t item) const {
    const auto it = subscribed.find(item);
    return it != subscribed.end() && it->second;
}

void Device::notify(std::uint16_t item, const std::vector<std::uint8_t>& value) {
    if (wants(item)) send_item(item, value);
}

void Device::send_item(std::uint16_t item, const std::vector<std::uint8_t>& value) {
    if (!packet) return;
    std::vector<std::uint8_t> p{'2', 0, static_cast<std::uint8_t>(item), static_cast<std::uint8_t>(item >> 8)};
    p.insert(p.end(), value.begin(), value.end());
    send_packet(std::move(p));
}

void Device::report_status() {
    const std::uint16_t status = measurement.status_word();
    if (status == reported_status) return;
    reported_status = status;
    notify(0x0201, le16(status));
}

bool Device::start_measurement() {
    if (measurement.running()) return true;
    if (!measurement.start(store.setup(), now)) return false;
    store.set(SetKind::Info, measurement.info());
    // The status first: the PC clears its buffer folder when it sees the start,
    // and only then the information that goes with the new capture.
    report_status();
    send_info();
    next_update_ms = now;
    send_updates();
    return true;
}

// The measurement information has no switch of its own: it goes with the
// captured data and the information updates.
void Device::send_info() {
    if (wants(0x8000) || wants(0xE000) || wants(0x8100)) send_item(0x8100, measurement.info());
}

void Device::send_updates() {
    if (now < next_update_ms) return;
    next_update_ms = now + 1000;
    notify(0xE000, measurement.counters());
    for (const auto& [item, value] : measurement.statistics()) notify(item, value);
}

void Device::stop_measurement(int reason) {
    if (!measurement.running()) return;
    notify(0xE000, measurement.counters());
    send_info();
    measurement.stop(reason);
    report_status();
}

void Device::press_key(int code) {
    switch (panel.press(code)) {
    case Panel::Action::Run: start_measurement(); break;
    case Panel::Action::Stop: stop_measurement(kStopByKey); break;
    case Panel::Action::None: break;
    }
}

void Device::enter_packet_mode(bool on) {
    packet = on;
    receiver.set_packet_mode(on);
    tx_seq = rx_seq = 0;
    sent.clear();
    receiving.reset();
    text_send.reset();
    supervision = 0;
}

std::string Device::version_text() const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X.%02X", static_cast<unsigned>(options.version_major) & 0xFF,
                  static_cast<unsigned>(options.version_minor) & 0xFF);
    return buf;
}

std::vector<std::uint8_t> Device::screen() const {
    return panel.render(
        {model_name(options.model), version_text(), packet, measurement.status_word(), measurement.records()});
}

}  // namespace simulator

namespace simulator {

// The keep-alive period is the PC's: value x 400 / 2000 ticks of 200 ms.
namespace {
std::uint64_t keep_alive_period_ms(std::uint8_t value) {
    return std::max<std::uint64_t>(1, value * 400u / 2000u) * 200;
}
}  // namespace

void Device::supervise(std::uint8_t value) {
    supervision = value;
    next_keep_alive_ms = now + keep_alive_period_ms(value);
}

void Device::send_keep_alive() {
    if (!packet || supervision == 0 || now < next_keep_alive_ms) return;
    next_keep_alive_ms = now + keep_alive_period_ms(supervision);
    send_frame({'1', supervision});
}

}  // namespace simulator
