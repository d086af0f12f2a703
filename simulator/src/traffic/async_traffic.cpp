// ASYNC lines carrying BSC-style blocks: a poll, a text block with its check
// character (now and then a bad one, answered by NAK), the acknowledgement,
// and the odd break or parity error.
#include <string_view>

#include "traffic/traffic_context.h"

namespace simulator {
namespace {

constexpr std::uint8_t kStx = 0x02, kEtx = 0x03, kEot = 0x04, kEnq = 0x05, kDle = 0x10, kNak = 0x15;

constexpr std::string_view kTexts[] = {
    "ORDER 0042 QTY 12", "STATUS OK", "HELLO FROM TERMINAL 7", "PRICE 1250 YEN", "END OF DAY REPORT",
};

class AsyncTraffic final : public ModeTraffic {
public:
    void next_exchange(TrafficContext& ctx) override {
        switch (step_++ % 4) {
        case 0: poll(ctx); break;
        case 1: block(ctx); break;
        case 2: answer(ctx); break;
        default: end(ctx); break;
        }
    }

private:
    void poll(TrafficContext& ctx) {
        ctx.pause(Direction::Sd, 200 + ctx.rng().below(800));
        ctx.stamp(Direction::Sd);
        ctx.chars(Direction::Sd, {kEnq});
        ctx.pause(Direction::Rd, 20);
        ctx.stamp(Direction::Rd);
        ctx.chars(Direction::Rd, {kDle, static_cast<std::uint8_t>(toggle_ ? 0x31 : 0x30)});
    }

    void block(TrafficContext& ctx) {
        ctx.pause(Direction::Sd, 30);
        ctx.stamp(Direction::Sd);
        const std::string_view text = kTexts[ctx.rng().below(std::size(kTexts))];
        std::vector<std::uint8_t> body(text.begin(), text.end());
        body.push_back(kEtx);
        ctx.cell(Direction::Sd, kChar, kStx);
        for (std::size_t i = 0; i < body.size(); ++i) {
            // A rare parity error on the line shows in the character's status.
            const bool parity = ctx.rng().one_in(60);
            ctx.cell(Direction::Sd, parity ? kParityError : kChar, body[i]);
        }
        bad_ = ctx.rng().one_in(8);
        check(ctx, body);
    }

    void check(TrafficContext& ctx, const std::vector<std::uint8_t>& body) {
        const std::uint8_t status = bad_ ? kCheckError : kCheckGood;
        switch (ctx.conditions().check) {
        case 0: return;
        case 1:
        case 2: {
            std::uint8_t v = lrc(body, ctx.conditions().check == 1);
            if (bad_) v ^= 0x5A;
            ctx.cell(Direction::Sd, status, v);
            return;
        }
        default: {
            std::uint16_t v = crc16_bsc(body);
            if (bad_) v ^= 0x0F0F;
            ctx.cell(Direction::Sd, status, static_cast<std::uint8_t>(v));
            ctx.cell(Direction::Sd, status, static_cast<std::uint8_t>(v >> 8));
        }
        }
    }

    void answer(TrafficContext& ctx) {
        ctx.pause(Direction::Rd, 20);
        ctx.stamp(Direction::Rd);
        if (bad_) {
            ctx.chars(Direction::Rd, {kNak});
            return;
        }
        toggle_ = !toggle_;
        ctx.chars(Direction::Rd, {kDle, static_cast<std::uint8_t>(toggle_ ? 0x31 : 0x30)});
        // The terminal echoes its next line feed while the host acknowledges: both at once.
        if (ctx.rng().one_in(4)) ctx.both(0x0D, 0x0A);
    }

    void end(TrafficContext& ctx) {
        ctx.pause(Direction::Sd, 50);
        ctx.stamp(Direction::Sd);
        ctx.chars(Direction::Sd, {kEot});
        if (ctx.rng().one_in(10)) {
            // Someone pulls the terminal's line: a break, then it is back.
            ctx.pause(Direction::Rd, 100);
            ctx.stamp(Direction::Rd);
            ctx.cell(Direction::Rd, kBreak, 0x00);
            ctx.signals(static_cast<std::uint8_t>(ctx.signals() & ~0x10));
            ctx.signals(static_cast<std::uint8_t>(ctx.signals() | 0x10));
        }
    }

    unsigned step_ = 0;
    bool toggle_ = false;
    bool bad_ = false;
};

}  // namespace

std::unique_ptr<ModeTraffic> make_async_traffic() { return std::make_unique<AsyncTraffic>(); }

}  // namespace simulator
