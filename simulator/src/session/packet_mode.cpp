// Packet mode: sequence numbers, resets, repeat requests, key notifications
// from the PC, and data-set pieces ("D"/"E") in both directions.
#include "session/device.h"

namespace simulator {
namespace {

std::uint16_t le16(const std::vector<std::uint8_t>& p, std::size_t at) {
    return static_cast<std::uint16_t>(p[at] | p[at + 1] << 8);
}

std::uint32_t le32(const std::vector<std::uint8_t>& p, std::size_t at) {
    return std::uint32_t{p[at]} | std::uint32_t{p[at + 1]} << 8 | std::uint32_t{p[at + 2]} << 16 |
           std::uint32_t{p[at + 3]} << 24;
}

void send_end(Device& d, std::uint8_t id, std::uint8_t flags, std::uint16_t item) {
    d.send_packet({'E', 0, id, flags, static_cast<std::uint8_t>(item), static_cast<std::uint8_t>(item >> 8)});
}

// The PC lost some of our packets: send them again from the one it expects.
void repeat_from(Device& d, std::uint8_t expected) {
    if (expected == d.tx_seq) return;
    std::vector<std::vector<std::uint8_t>> again;
    for (std::uint8_t s = expected; s != d.tx_seq; ++s) {
        const auto it = d.sent.find(s);
        if (it == d.sent.end()) {
            // Too old to repeat: both sides start numbering afresh.
            d.tx_seq = d.rx_seq = 0;
            d.sent.clear();
            d.send_frame({'0', 1});
            return;
        }
        again.push_back(it->second);
    }
    for (const auto& p : again) d.send_frame(p);
}

void piece(Device& d, const std::vector<std::uint8_t>& p) {
    const std::uint8_t id = p[2], flags = p[3];
    const std::uint16_t item = le16(p, 4);
    const std::uint32_t offset = le32(p, 6);
    IncomingSet* put = d.receiving ? &*d.receiving : nullptr;
    if (!put || put->id != id || put->item != item || (flags & 0x80)) {
        if (put && put->id == id && (flags & 0x80)) d.receiving.reset();  // the PC gave up
        else send_end(d, id, static_cast<std::uint8_t>(flags | 0x80), item);
        return;
    }
    const std::size_t n = p.size() - 10;
    if (offset > kTable3Fixed + kTable3MaxExtra || put->bytes.size() < offset) {
        d.receiving.reset();
        send_end(d, id, static_cast<std::uint8_t>(flags | 0x80), item);
        return;
    }
    put->bytes.resize(offset);
    put->bytes.insert(put->bytes.end(), p.begin() + 10, p.begin() + 10 + static_cast<std::ptrdiff_t>(n));
    if (!(flags & 0x01)) return;
    const bool stored = d.store.put(put->kind, std::move(put->bytes));
    d.receiving.reset();
    send_end(d, id, stored ? 0x01 : 0x81, item);
}

void item_from_pc(Device& d, const std::vector<std::uint8_t>& p) {
    const std::uint16_t item = le16(p, 2);
    if (item != 0x0C20) return;
    const int code = p.size() >= 6 ? le16(p, 4) : p[4];
    d.press_key(code);
}

}  // namespace

void handle_packet(Device& d, const std::vector<std::uint8_t>& p) {
    if (p.size() < 2) return;
    const std::uint8_t kind = p[0];
    if (kind > '?') {
        if (p[1] != d.rx_seq) {
            d.send_frame({'?', d.rx_seq});
            return;
        }
        ++d.rx_seq;
    }
    switch (kind) {
    case '0':
        if (p[1] == 0 || p[1] == 1) {
            d.tx_seq = d.rx_seq = 0;
            d.sent.clear();
        }
        if (p[1] == 0 || p[1] == 2) d.receiving.reset();
        if (p[1] == 0) d.supervision = 0;
        break;
    case '?': repeat_from(d, p[1]); break;
    case '2':
        if (p.size() >= 5) item_from_pc(d, p);
        break;
    case '@':
        if (p.size() >= 4) handle_request(d, p[2], p[3], std::vector<std::uint8_t>(p.begin() + 4, p.end()));
        break;
    case 'D':
        if (p.size() >= 10) piece(d, p);
        break;
    default: break;  // "E" closes our own transfers; keep-alives ("1") need no answer
    }
}

}  // namespace simulator
