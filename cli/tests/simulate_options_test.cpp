// The options of `zamvex simulate` as a user types them.
#include <gtest/gtest.h>

#include "cli/simulate_command.h"

namespace cli {
namespace {

std::optional<simulator::AnalyzerOptions> parse(const std::vector<std::string>& args, std::string* error = nullptr) {
    std::string e;
    auto s = parse_simulate_options(args, e);
    if (error) *error = e;
    if (!s) return std::nullopt;
    return s->analyzer;
}

TEST(SimulateOptions, DefaultsAndEveryAnalyzerOption) {
    const auto d = parse({});
    ASSERT_TRUE(d);
    EXPECT_EQ(d->model, simulator::Model::Rv7020);
    EXPECT_FALSE(d->text_only);
    EXPECT_EQ(d->speed, 0);  // any
    EXPECT_EQ(parse({"--speed", "9600"})->speed, 9600);
    const auto o =
        parse({"--model", "RV-7030", "--version", "2.1A", "--text-only", "--hex-blocks", "--seed", "99", "--mode",
               "PPP", "--protocol", "x25-128", "--rate", "0", "--trigger-after", "10", "--records", "5000"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->model, simulator::Model::Rv7030);
    EXPECT_EQ(o->version_major, 2);
    EXPECT_EQ(o->version_minor, 0x1A);
    EXPECT_TRUE(o->text_only);
    EXPECT_TRUE(o->hex_blocks);
    EXPECT_EQ(o->seed, 99u);
    EXPECT_EQ(o->line_mode, simulator::LineMode::Ppp);
    EXPECT_EQ(o->protocol, simulator::FrameProtocol::X25Mod128);
    EXPECT_EQ(o->records_per_second, 0);
    EXPECT_EQ(o->trigger_after, 10u);
    EXPECT_EQ(o->record_limit, 5000u);
}

TEST(SimulateOptions, Faults) {
    const auto o = parse({"--mute", "--measuring", "--refuse-start", "5", "--drop-frame", "3,7", "--corrupt-frame", "4",
                          "--delay-frame", "2", "--delay-ms", "250", "--lose-every", "10", "--silent-after-frames",
                          "20", "--silent-after-blocks", "3"});
    ASSERT_TRUE(o);
    EXPECT_TRUE(o->faults.mute);
    EXPECT_TRUE(o->faults.measuring_at_connect);
    EXPECT_EQ(o->faults.refuse_start, 5);
    EXPECT_EQ(o->faults.drop_frames, (std::set<std::uint64_t>{3, 7}));
    EXPECT_EQ(o->faults.corrupt_frames, (std::set<std::uint64_t>{4}));
    EXPECT_EQ(o->faults.delay_frames, (std::set<std::uint64_t>{2}));
    EXPECT_EQ(o->faults.delay_ms, 250);
    EXPECT_EQ(o->faults.lose_every_items, 10);
    EXPECT_EQ(o->faults.silent_after_frames, 20u);
    EXPECT_EQ(o->faults.silent_after_blocks, 3u);
}

TEST(SimulateOptions, MistakesAreNamed) {
    std::string error;
    EXPECT_FALSE(parse({"--model", "RV-9999"}, &error));
    EXPECT_EQ(error, "bad value for --model: 'RV-9999'");
    EXPECT_FALSE(parse({"--seed"}, &error));
    EXPECT_EQ(error, "option --seed needs a value");
    EXPECT_FALSE(parse({"--frobnicate"}, &error));
    EXPECT_EQ(error, "unknown option '--frobnicate'");
    EXPECT_FALSE(parse({"--version", "1"}, &error));
    EXPECT_FALSE(parse({"--drop-frame", "3,,4"}, &error));
    EXPECT_FALSE(parse({"--drop-frame", "0"}, &error));
    EXPECT_FALSE(parse({"--rate", "-5"}, &error));
    EXPECT_FALSE(parse({"--speed", "12345"}, &error));  // no line runs at that speed
    EXPECT_EQ(error, "bad value for --speed: '12345'");
}

TEST(SimulateOptions, HelpLinkAndKeys) {
    std::string e;
    const auto s = parse_simulate_options({"--keys", "--link", "/tmp/rv", "--help"}, e);
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->help);
    EXPECT_TRUE(s->keys);
    EXPECT_EQ(s->link_path, "/tmp/rv");
    EXPECT_FALSE(parse_simulate_options({"--link"}, e));
}

}  // namespace
}  // namespace cli
