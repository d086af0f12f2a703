// The PC's "@" requests and the analyzer's "A"/"B" answers: session end,
// link supervision, subscriptions, queries, settings, and data-set gets
// (answered with "D" pieces) and puts.
#include <cstring>

#include "session/device.h"

namespace simulator {
namespace {

constexpr std::size_t kPiece = 1008;  // data bytes per "D" piece
constexpr std::uint16_t kReasonUnavailable = 2;
constexpr std::uint16_t kReasonNotNow = 3;

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, unsigned v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

std::uint16_t get16(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8); }

void answer(Device& d, std::uint8_t id, std::uint8_t sub, const Bytes& results) {
    Bytes p{'A', 0, id, sub};
    p.insert(p.end(), results.begin(), results.end());
    d.send_packet(std::move(p));
}

void refuse(Device& d, std::uint8_t id, std::uint8_t sub, std::uint16_t reason) {
    Bytes p{'B', 0, id, sub};
    put16(p, reason);
    d.send_packet(std::move(p));
}

void record(Bytes& out, std::uint16_t item, const Bytes& value) {
    put16(out, item);
    out.push_back(static_cast<std::uint8_t>(value.size()));
    out.insert(out.end(), value.begin(), value.end());
}

Bytes query_value(const Device& d, std::uint16_t item) {
    switch (item) {
    case 0x0001: return {static_cast<std::uint8_t>(model_code(d.options.model))};
    case 0x0002: {
        const char* name = model_name(d.options.model);
        Bytes v(name, name + std::strlen(name));
        v.push_back(0);
        return v;
    }
    case 0x0003: {
        Bytes v;
        put16(v, static_cast<unsigned>((d.options.version_major & 0xFF) << 8 | (d.options.version_minor & 0xFF)));
        return v;
    }
    case 0x0201: {
        Bytes v;
        put16(v, d.measurement.status_word());
        return v;
    }
    case 0x0202: return {static_cast<std::uint8_t>(d.measurement.stop_reason())};
    default: return {};
    }
}

void subscribe(Device& d, std::uint8_t id, const Bytes& args) {
    Bytes applied;
    for (std::size_t i = 0; i + 3 <= args.size(); i += 3) {
        const std::uint16_t item = get16(args, i);
        d.subscribed[item] = args[i + 2] != 0;
        applied.insert(applied.end(), args.begin() + static_cast<std::ptrdiff_t>(i),
                       args.begin() + static_cast<std::ptrdiff_t>(i + 3));
    }
    answer(d, id, '3', applied);
    // A PC that subscribes to the status learns the running state at once.
    d.reported_status = 0;
    if (d.wants(0x0201) && d.measurement.status_word() != 0) d.report_status();
}

void query(Device& d, std::uint8_t id, const Bytes& args) {
    Bytes results;
    for (std::size_t i = 0; i + 2 <= args.size(); i += 2) {
        const std::uint16_t item = get16(args, i);
        record(results, item, query_value(d, item));
    }
    answer(d, id, '4', results);
}

void set_items(Device& d, std::uint8_t id, const Bytes& args) {
    Bytes results;
    std::vector<std::pair<std::uint16_t, unsigned>> actions;
    for (std::size_t i = 0; i + 3 <= args.size();) {
        const std::uint16_t item = get16(args, i);
        const std::size_t len = args[i + 2];
        if (i + 3 + len > args.size()) break;
        const Bytes value(args.begin() + static_cast<std::ptrdiff_t>(i + 3),
                          args.begin() + static_cast<std::ptrdiff_t>(i + 3 + len));
        i += 3 + len;
        const unsigned v = value.empty() ? 0 : value.size() == 1 ? value[0] : get16(value, 0);
        if (item == 0x0C21) {
            // 1 starts, 0 stops; the answer carries what will be in force.
            const bool running = v != 0 && (d.measurement.running() || !d.options.faults.refuse_start);
            record(results, item, {static_cast<std::uint8_t>(running ? 1 : 0)});
        } else if (item == 0x0C20) {
            record(results, item, value);
        } else {
            refuse(d, id, '5', kReasonUnavailable);
            return;
        }
        actions.emplace_back(item, v);
    }
    // The answer goes first; the status word and the data of a new
    // measurement follow it.
    answer(d, id, '5', results);
    for (const auto& [item, v] : actions) {
        if (item == 0x0C20) d.press_key(static_cast<int>(v));
        else if (v != 0) d.start_measurement();
        else d.stop_measurement(kStopByPc);
    }
}

void get_set(Device& d, std::uint8_t id, const Bytes& args) {
    const std::uint16_t item = args.size() >= 2 ? get16(args, 0) : 0;
    const auto kind = set_for_item(item);
    if (!kind || !d.store.has(*kind)) {
        refuse(d, id, '6', kReasonUnavailable);
        return;
    }
    Bytes body = *kind == SetKind::Screen ? d.screen() : d.store.bytes(*kind);
    Bytes named;
    put16(named, item);
    answer(d, id, '6', named);
    for (std::size_t offset = 0; offset < body.size(); offset += kPiece) {
        const std::size_t n = std::min(kPiece, body.size() - offset);
        const bool last = offset + n == body.size();
        Bytes p{'D', 0, id, static_cast<std::uint8_t>(last ? 1 : 0)};
        put16(p, item);
        for (int k = 0; k < 4; ++k) p.push_back(static_cast<std::uint8_t>(offset >> (8 * k)));
        p.insert(p.end(), body.begin() + static_cast<std::ptrdiff_t>(offset),
                 body.begin() + static_cast<std::ptrdiff_t>(offset + n));
        d.send_packet(std::move(p));
    }
}

void put_set(Device& d, std::uint8_t id, const Bytes& args) {
    const std::uint16_t item = args.size() >= 2 ? get16(args, 0) : 0;
    const auto kind = set_for_item(item);
    if (!kind || !puttable(*kind) || !d.store.has(*kind)) {
        refuse(d, id, '7', kReasonUnavailable);
        return;
    }
    if (*kind == SetKind::Setup && d.measurement.running()) {
        refuse(d, id, '7', kReasonNotNow);
        return;
    }
    d.receiving = IncomingSet{*kind, {}, id, item, 0};
    Bytes named;
    put16(named, item);
    answer(d, id, '7', named);
}

}  // namespace

void handle_request(Device& d, std::uint8_t id, std::uint8_t sub, const Bytes& args) {
    switch (sub) {
    case '0':
        // End of the session: back to text commands until the next "%@X".
        answer(d, id, '0', {});
        d.enter_packet_mode(false);
        break;
    case '1': {
        const std::uint8_t value = args.empty() ? 0 : args[0];
        answer(d, id, '1', {value});
        d.supervise(value);
        break;
    }
    case '3': subscribe(d, id, args); break;
    case '4': query(d, id, args); break;
    case '5': set_items(d, id, args); break;
    case '6': get_set(d, id, args); break;
    case '7': put_set(d, id, args); break;
    default: refuse(d, id, sub, kReasonUnavailable); break;
    }
}

}  // namespace simulator
