// PPP lines: LCP and IPCP negotiation, then ICMP echoes over IP and LCP
// echoes, ending with a terminate exchange. Frames go out as the line carries
// them: flags, 0x7D escaping of flag, escape and control characters, FCS-16.
#include <algorithm>
#include <deque>
#include <iterator>

#include "traffic/line_frames.h"
#include "traffic/traffic_context.h"

namespace simulator {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kLcp = 0xC021, kIpcp = 0x8021, kIp = 0x0021;
constexpr std::uint8_t kConfReq = 1, kConfAck = 2, kTermReq = 5, kTermAck = 6, kEchoReq = 9, kEchoRep = 10;

Bytes control_packet(std::uint16_t protocol, std::uint8_t code, std::uint8_t id, const Bytes& data) {
    // Sized once and filled in place (see icmp_echo).
    const auto length = static_cast<std::uint16_t>(4 + data.size());
    Bytes f(8 + data.size());
    // clang-format off
    const std::uint8_t head[8] = {0xFF, 0x03, static_cast<std::uint8_t>(protocol >> 8),
                                  static_cast<std::uint8_t>(protocol), code, id,
                                  static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)};
    // clang-format on
    std::copy(std::begin(head), std::end(head), f.begin());
    std::copy(data.begin(), data.end(), f.begin() + 8);
    return f;
}

std::uint16_t ip_checksum(const Bytes& b, std::size_t from, std::size_t to) {
    std::uint32_t sum = 0;
    for (std::size_t i = from; i + 1 < to; i += 2) sum += static_cast<std::uint32_t>(b[i] << 8 | b[i + 1]);
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum);
}

// An ICMP echo (request or reply) between 10.0.0.2 (SD) and 10.0.0.1 (RD).
Bytes icmp_echo(bool request, std::uint16_t seq, std::uint16_t ip_id) {
    // The frame is sized once and filled in place: appending to a short vector
    // makes g++ 12 at -O2 warn about the old buffer's bounds on a path never taken.
    constexpr std::size_t kIpStart = 4, kIcmpStart = kIpStart + 20, kPayload = 16;
    constexpr std::uint16_t kTotal = 20 + 8 + kPayload;
    const std::uint8_t src = request ? 2 : 1, dst = request ? 1 : 2;
    // clang-format off
    const std::uint8_t head[kIcmpStart + 8] = {
        0xFF, 0x03, static_cast<std::uint8_t>(kIp >> 8), static_cast<std::uint8_t>(kIp),
        0x45, 0x00, static_cast<std::uint8_t>(kTotal >> 8), static_cast<std::uint8_t>(kTotal),
        static_cast<std::uint8_t>(ip_id >> 8), static_cast<std::uint8_t>(ip_id), 0x00, 0x00, 0x40,
        0x01, 0x00, 0x00, 10, 0, 0, src, 10, 0, 0, dst,
        static_cast<std::uint8_t>(request ? 8 : 0), 0x00, 0x00, 0x00, 0x12, 0x34,
        static_cast<std::uint8_t>(seq >> 8), static_cast<std::uint8_t>(seq)};
    // clang-format on
    Bytes f(kIcmpStart + 8 + kPayload);
    std::copy(std::begin(head), std::end(head), f.begin());
    for (std::uint8_t k = 0; k < kPayload; ++k) f[kIcmpStart + 8 + k] = static_cast<std::uint8_t>(0x10 + k);
    const std::uint16_t hsum = ip_checksum(f, kIpStart, kIpStart + 20);
    f[kIpStart + 10] = static_cast<std::uint8_t>(hsum >> 8);
    f[kIpStart + 11] = static_cast<std::uint8_t>(hsum);
    const std::uint16_t csum = ip_checksum(f, kIcmpStart, f.size());
    f[kIcmpStart + 2] = static_cast<std::uint8_t>(csum >> 8);
    f[kIcmpStart + 3] = static_cast<std::uint8_t>(csum);
    return f;
}

class PppTraffic final : public ModeTraffic {
public:
    void next_exchange(TrafficContext& ctx) override {
        if (planned_.empty()) {
            // The modem's carrier comes up for each dial-up session and drops after it.
            ctx.signals(static_cast<std::uint8_t>(ctx.signals() | 0x10));
            plan(ctx.rng());
        }
        auto [dir, frame] = std::move(planned_.front());
        planned_.pop_front();
        ctx.pause(dir, dir == Direction::Sd ? 100 + ctx.rng().below(500) : 10 + ctx.rng().below(40));
        ctx.stamp(dir);
        if (ctx.rng().one_in(80)) ctx.cell(dir, kBreak, 0x00);
        ppp_frame(ctx, dir, frame, FrameEnd::Good);
        if (planned_.empty()) ctx.signals(static_cast<std::uint8_t>(ctx.signals() & ~0x10));
    }

private:
    void add(Direction dir, Bytes frame) { planned_.emplace_back(dir, std::move(frame)); }

    void plan(Rng& rng) {
        const Bytes magic_sd{0x05, 0x06, rng.byte(), rng.byte(), rng.byte(), rng.byte()};
        const Bytes magic_rd{0x05, 0x06, rng.byte(), rng.byte(), rng.byte(), rng.byte()};
        Bytes sd_opts{0x01, 0x04, 0x05, 0xDC, 0x02, 0x06, 0x00, 0x00, 0x00, 0x00};
        sd_opts.insert(sd_opts.end(), magic_sd.begin(), magic_sd.end());
        Bytes rd_opts{0x02, 0x06, 0x00, 0x00, 0x00, 0x00};
        rd_opts.insert(rd_opts.end(), magic_rd.begin(), magic_rd.end());
        add(Direction::Sd, control_packet(kLcp, kConfReq, 1, sd_opts));
        add(Direction::Rd, control_packet(kLcp, kConfReq, 1, rd_opts));
        add(Direction::Sd, control_packet(kLcp, kConfAck, 1, rd_opts));
        add(Direction::Rd, control_packet(kLcp, kConfAck, 1, sd_opts));
        const Bytes sd_ip{0x03, 0x06, 10, 0, 0, 2}, rd_ip{0x03, 0x06, 10, 0, 0, 1};
        add(Direction::Sd, control_packet(kIpcp, kConfReq, 1, sd_ip));
        add(Direction::Rd, control_packet(kIpcp, kConfReq, 1, rd_ip));
        add(Direction::Sd, control_packet(kIpcp, kConfAck, 1, rd_ip));
        add(Direction::Rd, control_packet(kIpcp, kConfAck, 1, sd_ip));
        for (std::uint16_t seq = 1, n = static_cast<std::uint16_t>(3 + rng.below(6)); seq <= n; ++seq) {
            add(Direction::Sd, icmp_echo(true, seq, static_cast<std::uint16_t>(0x100 + seq)));
            add(Direction::Rd, icmp_echo(false, seq, static_cast<std::uint16_t>(0x200 + seq)));
            if (rng.one_in(3)) {
                const auto id = static_cast<std::uint8_t>(seq);
                add(Direction::Rd, control_packet(kLcp, kEchoReq, id, {magic_rd.begin() + 2, magic_rd.end()}));
                add(Direction::Sd, control_packet(kLcp, kEchoRep, id, {magic_sd.begin() + 2, magic_sd.end()}));
            }
        }
        add(Direction::Sd, control_packet(kLcp, kTermReq, 2, {}));
        add(Direction::Rd, control_packet(kLcp, kTermAck, 2, {}));
    }

    std::deque<std::pair<Direction, Bytes>> planned_;
};

}  // namespace

std::unique_ptr<ModeTraffic> make_ppp_traffic() { return std::make_unique<PppTraffic>(); }

}  // namespace simulator
