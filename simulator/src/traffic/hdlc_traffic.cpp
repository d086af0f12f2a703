// HDLC and NRZI lines: sessions of SDLC, X.25 (LAPB modulo 8 and 128) or LAPD
// with Q.931, framed by opening and closing flags with FCS marks, and now and
// then an aborted or a short frame. SD is the terminal side, RD the network.
#include <deque>

#include "traffic/hdlc_frames.h"
#include "traffic/line_frames.h"
#include "traffic/traffic_context.h"

namespace simulator {
namespace {

using hdlc::Bytes;

struct Planned {
    Direction dir;
    Bytes bytes;
    bool command;
    bool bad_fcs = false;
};

Direction other(Direction d) { return d == Direction::Sd ? Direction::Rd : Direction::Sd; }
int side(Direction d) { return d == Direction::Sd ? 0 : 1; }

class Session {
public:
    Session(FrameProtocol protocol, std::deque<Planned>& out) : p_(protocol), out_(out) {}

    bool extended() const { return p_ == FrameProtocol::X25Mod128 || p_ == FrameProtocol::Lapd; }

    Bytes address(Direction dir, bool command) const {
        switch (p_) {
        case FrameProtocol::Lapd: {
            // The terminal's commands carry C/R 0, the network's C/R 1; responses the opposite.
            const bool cr = (dir == Direction::Rd) == command;
            return {static_cast<std::uint8_t>(cr ? 0x02 : 0x00), 0x81};
        }
        case FrameProtocol::Sdlc: return {0xC1};
        default: {
            const bool dte_address = (dir == Direction::Sd) == command;
            return {static_cast<std::uint8_t>(dte_address ? 0x01 : 0x03)};
        }
        }
    }

    void u(Direction dir, std::uint8_t control, bool command) {
        Bytes f = address(dir, command);
        f.push_back(control);
        out_.push_back({dir, std::move(f), command});
    }

    void s(Direction dir, std::uint8_t kind, bool pf = false) {
        Bytes f = address(dir, false);
        const Bytes c = hdlc::s_control(extended(), kind, ns_[side(other(dir))], pf);
        f.insert(f.end(), c.begin(), c.end());
        out_.push_back({dir, std::move(f), false});
    }

    void i(Direction dir, const Bytes& payload, bool bad_fcs = false) {
        Bytes f = address(dir, true);
        const Bytes c = hdlc::i_control(extended(), ns_[side(dir)], ns_[side(other(dir))], false);
        f.insert(f.end(), c.begin(), c.end());
        f.insert(f.end(), payload.begin(), payload.end());
        out_.push_back({dir, std::move(f), true, bad_fcs});
        // A frame with a bad FCS is discarded by the receiver and sent again.
        if (!bad_fcs) ++ns_[side(dir)];
    }

    unsigned& packets_sent(Direction dir) { return ps_[side(dir)]; }

private:
    FrameProtocol p_;
    std::deque<Planned>& out_;
    unsigned ns_[2] = {0, 0};
    unsigned ps_[2] = {0, 0};
};

Bytes text_payload(Rng& rng, bool ebcdic) {
    static constexpr char kWords[] = "PAYMENT ACCEPTED REF 2211 BRANCH 015 TELLER 07 ";
    Bytes data;
    const std::size_t n = 8 + rng.below(40);
    const std::size_t start = rng.below(sizeof kWords - 1);
    for (std::size_t k = 0; k < n; ++k) {
        const auto c = static_cast<std::uint8_t>(kWords[(start + k) % (sizeof kWords - 1)]);
        // Upper-case letters, digits and blanks in EBCDIC for SDLC hosts.
        if (!ebcdic) data.push_back(c);
        else if (c == ' ') data.push_back(0x40);
        else if (c >= '0' && c <= '9') data.push_back(static_cast<std::uint8_t>(0xF0 + c - '0'));
        else if (c <= 'I') data.push_back(static_cast<std::uint8_t>(0xC1 + c - 'A'));
        else if (c <= 'R') data.push_back(static_cast<std::uint8_t>(0xD1 + c - 'J'));
        else data.push_back(static_cast<std::uint8_t>(0xE2 + c - 'S'));
    }
    return data;
}

void plan_sdlc(Session& s, Rng& rng) {
    s.u(Direction::Sd, hdlc::kSnrmP, true);
    s.u(Direction::Rd, hdlc::kUaF, false);
    for (unsigned k = 0, n = 2 + rng.below(4); k < n; ++k) {
        s.i(Direction::Sd, text_payload(rng, true));
        s.s(Direction::Rd, rng.one_in(5) ? hdlc::kRnr : hdlc::kRr, true);
        s.i(Direction::Rd, text_payload(rng, true));
        s.s(Direction::Sd, hdlc::kRr, true);
    }
    s.u(Direction::Sd, hdlc::kDiscP, true);
    s.u(Direction::Rd, hdlc::kUaF, false);
}

void x25_data_exchange(Session& s, Rng& rng, bool ext) {
    unsigned& sd_ps = s.packets_sent(Direction::Sd);
    unsigned& rd_ps = s.packets_sent(Direction::Rd);
    const Bytes sd_data = text_payload(rng, false);
    if (rng.one_in(6)) {
        s.i(Direction::Sd, hdlc::x25_data(ext, sd_ps, rd_ps, false, sd_data), true);
        s.s(Direction::Rd, hdlc::kRej);
    }
    s.i(Direction::Sd, hdlc::x25_data(ext, sd_ps++, rd_ps, false, sd_data));
    s.s(Direction::Rd, hdlc::kRr);
    s.i(Direction::Rd, hdlc::x25_data(ext, rd_ps++, sd_ps, rng.one_in(4), text_payload(rng, false)));
    if (rng.one_in(5)) {
        s.s(Direction::Sd, hdlc::kRnr);
        s.i(Direction::Sd, hdlc::x25_flow(ext, hdlc::kRr, rd_ps));
    }
    s.s(Direction::Sd, hdlc::kRr);
}

void plan_x25(Session& s, Rng& rng, bool ext) {
    s.u(Direction::Sd, ext ? hdlc::kSabmeP : hdlc::kSabmP, true);
    s.u(Direction::Rd, hdlc::kUaF, false);
    s.i(Direction::Sd, hdlc::x25_call_request(ext));
    s.s(Direction::Rd, hdlc::kRr);
    s.i(Direction::Rd, hdlc::x25_call_connected(ext));
    s.s(Direction::Sd, hdlc::kRr);
    for (unsigned k = 0, n = 2 + rng.below(4); k < n; ++k) x25_data_exchange(s, rng, ext);
    s.i(Direction::Sd, hdlc::x25_clear_request(ext));
    s.s(Direction::Rd, hdlc::kRr);
    s.i(Direction::Rd, hdlc::x25_clear_confirmation(ext));
    s.s(Direction::Sd, hdlc::kRr);
    s.u(Direction::Sd, hdlc::kDiscP, true);
    s.u(Direction::Rd, hdlc::kUaF, false);
}

void plan_lapd(Session& s, std::uint8_t call_ref) {
    using hdlc::Q931;
    s.u(Direction::Sd, hdlc::kSabmeP, true);
    s.u(Direction::Rd, hdlc::kUaF, false);
    const std::pair<Direction, Q931> steps[] = {
        {Direction::Sd, Q931::Setup},           {Direction::Rd, Q931::CallProceeding}, {Direction::Rd, Q931::Connect},
        {Direction::Sd, Q931::ConnectAck},      {Direction::Sd, Q931::Disconnect},     {Direction::Rd, Q931::Release},
        {Direction::Sd, Q931::ReleaseComplete},
    };
    for (const auto& [dir, type] : steps) {
        s.i(dir, hdlc::q931(type, call_ref, dir == Direction::Sd));
        s.s(other(dir), hdlc::kRr);
    }
}

class HdlcTraffic final : public ModeTraffic {
public:
    HdlcTraffic(FrameProtocol protocol, std::uint64_t seed) : protocol_(protocol), turn_(seed % 4) {}

    void next_exchange(TrafficContext& ctx) override {
        if (planned_.empty()) {
            // A session starts with the terminal raising request-to-send and the
            // modem answering with clear-to-send; both drop when it ends.
            ctx.signals(static_cast<std::uint8_t>(ctx.signals() | 0xC0));
            plan(ctx.rng());
        }
        Planned frame = std::move(planned_.front());
        planned_.pop_front();
        if (ctx.rng().one_in(40)) damaged(ctx, frame.dir);
        emit(ctx, frame);
        if (planned_.empty()) ctx.signals(static_cast<std::uint8_t>(ctx.signals() & ~0xC0));
    }

private:
    void plan(Rng& rng) {
        static constexpr FrameProtocol kCycle[] = {FrameProtocol::Sdlc, FrameProtocol::X25Mod8,
                                                   FrameProtocol::X25Mod128, FrameProtocol::Lapd};
        const FrameProtocol p = protocol_ == FrameProtocol::Mixed ? kCycle[turn_++ % 4] : protocol_;
        Session s(p, planned_);
        switch (p) {
        case FrameProtocol::Sdlc: plan_sdlc(s, rng); break;
        case FrameProtocol::Lapd: plan_lapd(s, static_cast<std::uint8_t>(1 + call_ref_++ % 127)); break;
        default: plan_x25(s, rng, p == FrameProtocol::X25Mod128); break;
        }
    }

    static void emit(TrafficContext& ctx, const Planned& f) {
        ctx.pause(f.dir, f.command ? 40 + ctx.rng().below(300) : 5 + ctx.rng().below(20));
        ctx.stamp(f.dir);
        hdlc_frame(ctx, f.dir, f.bytes, f.bad_fcs ? FrameEnd::BadFcs : FrameEnd::Good);
    }

    // Line trouble between frames: a frame cut off by an abort, or one too short to be a frame.
    static void damaged(TrafficContext& ctx, Direction dir) {
        ctx.pause(dir, 10);
        ctx.stamp(dir);
        static constexpr std::uint8_t kShort[] = {0x01}, kCut[] = {0x01, 0x00, 0x10};
        if (ctx.rng().one_in(2)) hdlc_frame(ctx, dir, kShort, FrameEnd::Short);
        else hdlc_frame(ctx, dir, kCut, FrameEnd::Aborted);
    }

    FrameProtocol protocol_;
    unsigned turn_;
    unsigned call_ref_ = 0;
    std::deque<Planned> planned_;
};

}  // namespace

std::unique_ptr<ModeTraffic> make_hdlc_traffic(FrameProtocol protocol, std::uint64_t seed) {
    return std::make_unique<HdlcTraffic>(protocol, seed);
}

}  // namespace simulator
