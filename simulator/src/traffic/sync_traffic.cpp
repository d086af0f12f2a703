// Character-synchronous lines: each transmission starts with the sync
// characters and ends with the end-of-frame (pad) characters, BSC blocks in
// between, with request-to-send raised around the terminal's turn.
#include <string_view>

#include "traffic/traffic_context.h"

namespace simulator {
namespace {

constexpr std::uint8_t kStx = 0x02, kEtb = 0x17, kEtx = 0x03, kEot = 0x04, kEnq = 0x05, kDle = 0x10, kNak = 0x15;

constexpr std::string_view kRecords[] = {
    "ACCOUNT 55102 BALANCE 0000123400",
    "TRANSFER 000500 TO 77731",
    "INQUIRY 00314",
    "CARD 4410 OK",
};

class SyncTraffic final : public ModeTraffic {
public:
    void next_exchange(TrafficContext& ctx) override {
        switch (step_++ % 3) {
        case 0: transmission(ctx, Direction::Sd, {kEnq}); break;
        case 1: text(ctx); break;
        default: reply(ctx); break;
        }
    }

private:
    void open(TrafficContext& ctx, Direction dir) {
        if (dir == Direction::Sd) ctx.signals(static_cast<std::uint8_t>(ctx.signals() | 0xC0));
        ctx.pause(dir, dir == Direction::Sd ? 100 + ctx.rng().below(400) : 15);
        ctx.stamp(dir);
        const LineConditions& c = ctx.conditions();
        for (std::uint8_t k = 0; k < c.sync_count && k < 2; ++k) ctx.cell(dir, kChar, c.sync_chars[k]);
    }

    void close(TrafficContext& ctx, Direction dir) {
        const LineConditions& c = ctx.conditions();
        for (std::uint8_t k = 0; k < c.end_count; ++k) ctx.cell(dir, kChar, c.end_char);
        if (dir == Direction::Sd) ctx.signals(static_cast<std::uint8_t>(ctx.signals() & ~0xC0));
    }

    void transmission(TrafficContext& ctx, Direction dir, std::initializer_list<std::uint8_t> body) {
        open(ctx, dir);
        ctx.chars(dir, body);
        close(ctx, dir);
    }

    void text(TrafficContext& ctx) {
        open(ctx, Direction::Sd);
        const std::string_view record = kRecords[ctx.rng().below(std::size(kRecords))];
        std::vector<std::uint8_t> body(record.begin(), record.end());
        body.push_back(ctx.rng().one_in(3) ? kEtb : kEtx);
        ctx.cell(Direction::Sd, kChar, kStx);
        ctx.chars(Direction::Sd, body);
        bad_ = ctx.rng().one_in(10);
        const std::uint8_t status = bad_ ? kCheckError : kCheckGood;
        if (ctx.conditions().check == 1 || ctx.conditions().check == 2) {
            ctx.cell(Direction::Sd, status,
                     static_cast<std::uint8_t>(lrc(body, ctx.conditions().check == 1) ^ (bad_ ? 0x33 : 0)));
        } else if (ctx.conditions().check != 0) {
            const std::uint16_t v = static_cast<std::uint16_t>(crc16_bsc(body) ^ (bad_ ? 0x1111 : 0));
            ctx.cell(Direction::Sd, status, static_cast<std::uint8_t>(v));
            ctx.cell(Direction::Sd, status, static_cast<std::uint8_t>(v >> 8));
        }
        close(ctx, Direction::Sd);
    }

    void reply(TrafficContext& ctx) {
        if (bad_) {
            transmission(ctx, Direction::Rd, {kNak});
            return;
        }
        toggle_ = !toggle_;
        if (ctx.rng().one_in(5)) transmission(ctx, Direction::Rd, {kEot});
        else transmission(ctx, Direction::Rd, {kDle, static_cast<std::uint8_t>(toggle_ ? 0x61 : 0x70)});
    }

    unsigned step_ = 0;
    bool toggle_ = false;
    bool bad_ = false;
};

}  // namespace

std::unique_ptr<ModeTraffic> make_sync_traffic() { return std::make_unique<SyncTraffic>(); }

}  // namespace simulator
