// The sections that are a plain list of items: TIMER/COUNTER, AUTO CONFIGLATION,
// TREND FACT, MANUAL FACTOR and BUFFER FACTOR. Each must recognise every value.
#include <array>

#include "common_lists.h"
#include "items.h"
#include "messages.h"
#include "sections.h"

namespace setxfer {
namespace {

constexpr std::array<std::string_view, 3> kScale = {"100m", "10m", "1m"};
constexpr std::array kTimerCounter = {
    number_item("TIMER 0 :", 346, 2, 1, 65535), name_item("SCALE   :", 348, kScale),
    number_item("TIMER 1 :", 350, 2, 1, 65535), name_item("SCALE   :", 352, kScale),
    number_item("COUNTER0:", 354, 2, 1, 65535), number_item("COUNTER1:", 358, 2, 1, 65535),
};

constexpr std::array<std::string_view, 2> kAutoConf = {"STOP", "MONIT"};
constexpr std::array kAutoConfig = {name_item("AUTOCONF:", 400, kAutoConf)};

constexpr std::array<std::string_view, 3> kEvent = {"DATA", "FRAME", "TRIGG"};
constexpr std::array<std::string_view, 3> kResolution = {"10MIN", "1HOUR", "4HOUR"};
constexpr std::array<std::string_view, 10> kRange = {"50",  "100", "500",  "1000", "5000",
                                                     "10K", "50K", "100K", "500K", "1M"};
constexpr std::array kTrend = {
    name_item("EVENT   :", 410, kEvent),
    name_item("RESOLUT :", 411, kResolution),
    name_item("V-RANGE :", 412, kRange),
};

constexpr std::array kManual = {
    number_item("DELAY   :", 422, 2, 0, 9999),
    name_item("REPEAT  :", 425, kOnOff),
    number_item("IDLE TM :", 426, 2, 0, 9999),
};

constexpr std::array<std::string_view, 4> kBufferData = {"BUF1SD", "BUF1RD", "BUF2SD", "BUF2RD"};
constexpr std::array kBuffer = {
    name_item("DATA    :", 428, kBufferData),
    number_item("DELAY   :", 430, 2, 0, 9999),
    name_item("REPEAT  :", 433, kOnOff),
    number_item("IDLE TM :", 434, 2, 0, 9999),
};

void write_list(std::string& out, std::string_view header, ConstSetup s, std::span<const Item> items) {
    out += header;
    out += "\r\n";
    write_items(out, s, items);
}

SectionResult read_list(TokenReader& in, std::string_view header, Setup s, std::span<const Item> items,
                        std::string_view message) {
    in.skip(header);
    if (read_items(in, s, items) == value_count(items)) return std::nullopt;
    return message;
}

}  // namespace

void write_timer_counter(std::string& out, ConstSetup s, Model) {
    write_list(out, "< TIMER/COUNTER >", s, kTimerCounter);
}
SectionResult read_timer_counter(TokenReader& in, Setup s, Model) {
    return read_list(in, "< TIMER/COUNTER >", s, kTimerCounter, text::kTimerCounter);
}

void write_auto_config(std::string& out, ConstSetup s, Model) {
    write_list(out, "< AUTO CONFIGLATION >", s, kAutoConfig);
}
SectionResult read_auto_config(TokenReader& in, Setup s, Model) {
    return read_list(in, "< AUTO CONFIGLATION >", s, kAutoConfig, text::kAutoConfig);
}

void write_trend_fact(std::string& out, ConstSetup s, Model) { write_list(out, "< TREND FACT >", s, kTrend); }
SectionResult read_trend_fact(TokenReader& in, Setup s, Model) {
    return read_list(in, "< TREND FACT >", s, kTrend, text::kTrend);
}

void write_manual_factor(std::string& out, ConstSetup s, Model) { write_list(out, "< MANUAL FACTOR >", s, kManual); }
SectionResult read_manual_factor(TokenReader& in, Setup s, Model) {
    return read_list(in, "< MANUAL FACTOR >", s, kManual, text::kManual);
}

// DATA, DELAY and REPEAT must be recognised and IDLE TM must lie in its range: all four.
void write_buffer_factor(std::string& out, ConstSetup s, Model) { write_list(out, "< BUFFER FACTOR >", s, kBuffer); }
SectionResult read_buffer_factor(TokenReader& in, Setup s, Model) {
    return read_list(in, "< BUFFER FACTOR >", s, kBuffer, text::kBuffer);
}

}  // namespace setxfer
