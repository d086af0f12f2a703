// Measurement state and the pacing of captured data.
#include "measure/measurement.h"

#include "measure/item_packer.h"
#include "replay/replay.h"
#include "sets/data_store.h"

namespace simulator {
namespace {

// Words per item are at most kMaxUnitBytes / 2; a burst when the line is free.
constexpr std::size_t kWordsPerBurst = 2000;

void put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void put_entry(std::vector<std::uint8_t>& out, std::uint16_t id, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(id));
    out.push_back(static_cast<std::uint8_t>(id >> 8));
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

Measurement::Measurement(const AnalyzerOptions& options) : options_(options) {}

Measurement::~Measurement() = default;

std::uint16_t Measurement::status_word() const {
    if (!running()) return 0;
    if (options_.trigger_after > 0 && records_ >= options_.trigger_after) return kStatusTriggered;
    return kStatusMeasuring;
}

bool Measurement::start(std::span<const std::uint8_t> setup, std::uint64_t now_ms, bool may_refuse) {
    if (running()) return true;
    if (may_refuse && options_.faults.refuse_start) {
        stop_reason_ = *options_.faults.refuse_start;
        return false;
    }
    if (options_.replay) {
        if (!start_replay(setup, now_ms)) return false;
    } else {
        conditions_ = LineConditions::from_setup(setup, options_.protocol);
        generator_ = std::make_unique<TrafficGenerator>(conditions_, options_.seed);
    }
    started_ms_ = now_ms;
    records_ = 0;
    units_ = 0;
    items_ = 0;
    stop_reason_ = 0;
    sd_chars_ = rd_chars_ = sd_errors_ = rd_errors_ = 0;
    return true;
}

// The file's frames on a line of the mode they need, with the setup's other conditions.
bool Measurement::start_replay(std::span<const std::uint8_t> setup, std::uint64_t now_ms) {
    auto replay = std::make_unique<Replay>(*options_.replay, now_ms);
    if (replay->ended()) {
        report_ = replay->report();
        stop_reason_ = kStopNotReady;
        return false;
    }
    std::vector<std::uint8_t> own(setup.begin(), setup.end());
    if (own.size() > 1) own[1] = replay->line_mode(own[1]);
    conditions_ = LineConditions::from_setup(own, options_.protocol);
    replay->begin(conditions_);
    replay_ = std::move(replay);
    return true;
}

void Measurement::stop(int reason) {
    if (!running()) return;
    generator_.reset();
    if (replay_) report_ = replay_->report();
    replay_.reset();
    stop_reason_ = reason;
}

bool Measurement::replay_ended() const { return replay_ != nullptr && replay_->ended(); }

std::optional<ReplayReport> Measurement::take_report(bool running_too) {
    std::optional<ReplayReport> r = std::move(report_);
    report_.reset();
    if (!r && running_too && replay_) r = replay_->report();
    return r;
}

std::vector<std::uint32_t> Measurement::draw(std::size_t count, std::uint64_t now_ms) {
    std::vector<std::uint32_t> words;
    if (replay_) {
        words = replay_->take(now_ms, count);
    } else {
        words.reserve(count);
        for (std::size_t i = 0; i < count; ++i) words.push_back(generator_->next());
    }
    for (const std::uint32_t w : words) {
        if ((w & 0x30) == 0 || (w & 0xFFFF) == 0xFF80) continue;
        const unsigned sd_status = w & 0x0F, rd_status = (w >> 16) & 0x0F;
        if (sd_status != 15) (sd_status >= 3 && sd_status <= 9 ? sd_errors_ : sd_chars_)++;
        if (rd_status != 15) (rd_status >= 3 && rd_status <= 9 ? rd_errors_ : rd_chars_)++;
    }
    records_ += words.size();
    return words;
}

std::vector<std::vector<std::uint8_t>> Measurement::take_data(std::uint64_t now_ms, bool line_idle,
                                                              std::size_t max_items) {
    std::vector<std::vector<std::uint8_t>> items;
    // Nothing piles up while the line is still busy; the rate catches up later.
    if (!running() || !line_idle) return items;
    std::size_t due;
    if (replay_) {
        due = kWordsPerBurst;  // the replay paces itself by the file's times
    } else if (options_.records_per_second > 0) {
        const std::uint64_t elapsed = now_ms > started_ms_ ? now_ms - started_ms_ : 0;
        const std::uint64_t target = elapsed * static_cast<std::uint64_t>(options_.records_per_second) / 1000;
        due = target > records_ ? static_cast<std::size_t>(target - records_) : 0;
    } else {
        due = kWordsPerBurst;
    }
    due = std::min(due, max_items * (kMaxUnitBytes / 4));
    if (options_.record_limit > 0)
        due = std::min<std::uint64_t>(due, options_.record_limit > records_ ? options_.record_limit - records_ : 0);
    if (due == 0) return items;
    const std::vector<std::uint32_t> words = draw(due, now_ms);
    for (PackedItem& item : pack_items(words, units_)) {
        units_ = static_cast<std::uint16_t>(units_ + item.units);
        ++items_;
        const int every = options_.faults.lose_every_items;
        if (every > 0 && items_ % static_cast<std::uint64_t>(every) == 0) continue;  // lost on the way
        items.push_back(std::move(item.value));
    }
    return items;
}

std::vector<std::uint8_t> Measurement::info() const {
    std::vector<std::uint8_t> info(kInfoSize, 0);
    conditions_.write_info(std::span<std::uint8_t, 34>(info.data(), 34));
    return info;
}

std::vector<std::uint8_t> Measurement::counters() const {
    std::vector<std::uint8_t> out;
    put_entry(out, 0xE100, static_cast<std::uint32_t>(records_));
    put_entry(out, 0xE101, static_cast<std::uint32_t>(items_));
    put_entry(out, 0xE200, sd_chars_);
    put_entry(out, 0x5200, rd_chars_);
    put_entry(out, 0xE201, sd_errors_);
    put_entry(out, 0x5201, rd_errors_);
    return out;
}

std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> Measurement::statistics() const {
    const auto records = static_cast<std::uint32_t>(records_);
    std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> out;
    // 0xE800: a header word and four totals.
    std::vector<std::uint8_t> e8;
    put16(e8, 1);
    e8.resize(8, 0);
    for (std::uint32_t v : {records, sd_chars_, rd_chars_, sd_errors_ + rd_errors_}) put32(e8, v);
    out.emplace_back(0xE800, std::move(e8));
    // 0xE900: one 8-byte entry from slot 0 (characters each way).
    std::vector<std::uint8_t> e9;
    put16(e9, 1);
    put16(e9, 0);
    put32(e9, sd_chars_);
    put32(e9, rd_chars_);
    out.emplace_back(0xE900, std::move(e9));
    // 0xEA00: the rate block, 44 bytes.
    std::vector<std::uint8_t> ea;
    put16(ea, 0);
    put16(ea, static_cast<unsigned>(options_.records_per_second & 0xFFFF));
    put32(ea, records);
    while (ea.size() < 44) put16(ea, 0);
    out.emplace_back(0xEA00, std::move(ea));
    // 0xEB00: two 4-byte entries from slot 0 (errors each way).
    std::vector<std::uint8_t> eb;
    put16(eb, 2);
    put16(eb, 0);
    put32(eb, sd_errors_);
    put32(eb, rd_errors_);
    out.emplace_back(0xEB00, std::move(eb));
    // 0xEC00: the summary entry (index -1).
    std::vector<std::uint8_t> ec;
    put32(ec, 0xFFFFFFFF);
    for (std::uint32_t v : {sd_errors_, rd_errors_, sd_chars_, rd_chars_}) put16(ec, v & 0xFFFF);
    out.emplace_back(0xEC00, std::move(ec));
    return out;
}

}  // namespace simulator
