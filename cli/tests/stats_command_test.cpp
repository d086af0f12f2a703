// `zamvex stats` on buffers whose content the test knows: every count, span
// and time of a hand-made ASYNC line and an X.25 call, frames that agree with
// the CSV frame layout in every line mode, the JSON (read back with jq) equal
// to the table, the SVG well-formed (xmllint) with bars that add up to the
// per-minute rows, and the same refusals as `convert`.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>

#include "buffer_words.h"
#include "process_util.h"
#include "sample_buffers.h"
#include "sample_conversations.h"
#include "testing/temp_dir.h"

namespace cli_test {
namespace {

namespace fs = std::filesystem;
using namespace textlib_test;

std::string buffer_of(testing_util::TempDir& dir, const std::string& name, const InfoBody& body,
                      const std::vector<std::uint32_t>& words) {
    const std::string folder = dir.file(name);
    fs::create_directory(folder);
    WriteBuffer(folder, body, words);
    return folder;
}

// The value of a jq filter over a JSON file (jq -r, one line per value).
std::string jq(const std::string& file, const std::string& filter) {
    const Outcome r = run_shell("jq -r '" + filter + "' '" + file + "'", std::chrono::seconds(30));
    EXPECT_EQ(r.exit_code, 0) << filter << ": " << r.err;
    std::string out = r.out;
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

// Runs `zamvex stats` with --json into a file; its path.
std::string stats_json(testing_util::TempDir& dir, const std::string& buffer, std::vector<std::string> extra) {
    const std::string file = dir.file(fs::path(buffer).filename().string() + ".json");
    std::vector<std::string> args{"stats", buffer, "--json"};
    args.insert(args.end(), extra.begin(), extra.end());
    const Outcome r = zamvex(args);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    testing_util::write_file(file, r.out);
    return file;
}

// Characters per direction as stats counts them: cells with statuses 0..7.
std::pair<long, long> characters(const std::vector<std::uint32_t>& words) {
    long sd = 0, rd = 0;
    for (std::uint32_t w : words) {
        if ((w & 0xFFFF) == 0xFF80 || (w & 0x30) == 0) continue;
        sd += (w & 0xF) <= 7;
        rd += ((w >> 16) & 0xF) <= 7;
    }
    return {sd, rd};
}

// Frames per direction as the CSV frame layout writes them.
std::map<std::string, long> csv_frames(testing_util::TempDir& dir, const std::string& buffer,
                                       std::vector<std::string> extra = {}) {
    const std::string out = dir.file(fs::path(buffer).filename().string() + "-csv");
    std::vector<std::string> args{"convert",  buffer, "--out",      out,     "--prefix",    "f",
                                  "--format", "csv",  "--csv-form", "frame", "--max-lines", "999999"};
    args.insert(args.end(), extra.begin(), extra.end());
    EXPECT_EQ(zamvex(args).exit_code, 0);
    std::map<std::string, long> n;
    const std::string text = read_text(out + "/f00000000.txt");
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end - at);
        n[line.substr(0, line.find(','))]++;
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return n;
}

// An ASYNC line: a parity error, CS off for 65 s, an idle time of 2.5 s, a
// framing error and a break, data lost, 30 quiet seconds between two stamps.
std::vector<std::uint32_t> async_line() {
    std::vector<std::uint32_t> w{TimeStamp(false, 9, 30, 0)};
    Append(w, SdText("HELLO"));
    Append(w, {Rd('A', 4), LineState(0xF0, 0xB0), Idle(25), TimeStamp(true, 9, 31, 5), Rd('B', 5), Sd(0, 8),
               LineState(0xB0, 0xF0), Gap(7), TimeStamp(false, 9, 31, 6), SdRd('x', 'y'), TimeStamp(true, 9, 31, 10),
               TimeStamp(false, 9, 31, 40), Sd('z')});
    return w;
}

InfoBody async_body() {
    InfoBody b = AsyncBody();
    b[30] = 1;  // idle values count 100 ms
    b[33] = 1;  // line states recorded
    return b;
}

TEST(StatsCommand, CountsAndTimesOfAnAsyncLine) {
    testing_util::TempDir dir;
    const std::string buffer = buffer_of(dir, "async", async_body(), async_line());
    const std::string json = stats_json(dir, buffer, {"--per-minute"});
    EXPECT_EQ(jq(json, "[.mode, .first_time, .last_time, .span_seconds, .time_stamps, .records] | @tsv"),
              "ASYNC\t09:30:00\t09:31:40\t100\t5\t" + std::to_string(async_line().size()));
    EXPECT_EQ(jq(json, "[.characters.sd, .characters.rd] | @tsv"), "7\t3");  // HELLO x z; A B y
    EXPECT_EQ(jq(json, ".lost | [.marks, .units, .first, .last] | @tsv"), "1\t7\t09:31:05\t09:31:05");
    EXPECT_EQ(jq(json, ".errors[] | select(.count > 0) | [.kind, .count, .first, .last] | @tsv"),
              "parity error\t1\t09:30:00\t09:30:00\n"
              "framing error\t1\t09:31:05\t09:31:05\n"
              "break\t1\t09:31:05\t09:31:05");
    // RS CS DR CD on, the others off from the start to the end; CS off from 09:30:00 to 09:31:05.
    EXPECT_EQ(jq(json,
                 ".line_states[] | [.signal, .changes, .longest_off_seconds, .longest_off_from, .off_at_end] "
                 "| map(tostring) | join(\" \")"),
              "RS 0 null null false\nCS 2 65 09:30:00 false\nDR 0 null null false\nCD 0 null null false\n"
              "ER 0 100 09:30:00 true\nSQ 0 100 09:30:00 true\nCI 0 100 09:30:00 true\nEX 0 100 09:30:00 true");
    EXPECT_EQ(jq(json, ".busiest_second | [.time, .characters] | @tsv"), "09:30:00\t6");
    EXPECT_EQ(jq(json, ".longest_silence | [.ms, .from, .from_idle_time] | @tsv"), "30000\t09:31:10\tfalse");
    EXPECT_EQ(jq(json, ".per_minute[] | [.minute, .sd, .rd, .errors, .lost] | @tsv"),
              "09:30\t5\t1\t1\t0\n09:31\t2\t2\t2\t1");
    auto csv = csv_frames(dir, buffer);
    EXPECT_EQ(jq(json, "[.frames.sd, .frames.rd, .frames.undecided] | @tsv"),
              std::to_string(csv["SD"]) + "\t" + std::to_string(csv["RD"]) + "\t0");
    EXPECT_EQ(jq(json, "[.per_minute[].frames] | add"), std::to_string(csv["SD"] + csv["RD"]));

    // Without the quiet stamps, the idle time is the longest silence.
    auto words = async_line();
    words.erase(words.end() - 3, words.end() - 1);
    const std::string idle = stats_json(dir, buffer_of(dir, "idle", async_body(), words), {});
    EXPECT_EQ(jq(idle, ".longest_silence | [.ms, .from, .from_idle_time] | @tsv"), "2500\t09:30:00\ttrue");
}

TEST(StatsCommand, FramesByKindPacketsAndErrorsOfAnX25Call) {
    testing_util::TempDir dir;
    const std::string buffer = buffer_of(dir, "x25", HdlcBody(), X25Conversation());
    const std::string json = stats_json(dir, buffer, {"--frame", "x25", "--packet", "x25"});
    EXPECT_EQ(jq(json, "[.mode, .frame_names, .packet_names, .first_time, .last_time, .span_seconds] | @tsv"),
              "HDLC\tx25\tx25\t10:00:00\t10:00:09\t9");
    EXPECT_EQ(jq(json, ".kinds[] | [.kind, .sd, .rd] | @tsv"),
              "SABM\t1\t0\nUA\t0\t2\nINFO\t5\t3\nRR\t1\t1\nREJ\t0\t1\nFRMR\t0\t1\nDISC\t1\t0\n(too short)\t0\t1");
    EXPECT_EQ(jq(json, ".packets[] | [.kind, .sd, .rd] | @tsv"),
              "CR\t1\t0\nCC\t0\t1\nDT\t2\t0\nRR\t0\t1\nCQ\t1\t0\nCF\t0\t1");
    EXPECT_EQ(jq(json, ".errors[] | select(.count > 0) | [.kind, .count, .first, .last] | @tsv"),
              "bad FCS\t1\t10:00:04\t10:00:04\nabort\t1\t10:00:05\t10:00:05\nshort frame\t1\t10:00:09\t10:00:09");
    EXPECT_EQ(jq(json, ".lost | [.marks, .units, .first] | @tsv"), "1\t12\t10:00:05");
    const auto chars = characters(X25Conversation());
    EXPECT_EQ(jq(json, "[.characters.sd, .characters.rd] | @tsv"),
              std::to_string(chars.first) + "\t" + std::to_string(chars.second));
    auto csv = csv_frames(dir, buffer);
    EXPECT_EQ(jq(json, "[.frames.sd, .frames.rd] | @tsv"),
              std::to_string(csv["SD"]) + "\t" + std::to_string(csv["RD"]));
    EXPECT_EQ(jq(json, ".line_states"), "null");

    // The table says the same: every kind's row, every error's row.
    const Outcome table = zamvex({"stats", buffer, "--frame", "x25", "--packet", "x25"});
    ASSERT_EQ(table.exit_code, 0) << table.err;
    const auto rows = [&](const std::string& filter) {
        std::string text = jq(json, filter) + "\n";
        for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
            // "kind\tN\tN" must stand in the table as "  kind   N   N".
            const std::string row = text.substr(at, end - at);
            std::string pattern = "\n  ";
            for (char ch : row) {
                if (ch == '\t') pattern += " +";
                else if (std::string("()[]{}.*+?^$|\\").find(ch) != std::string::npos)
                    pattern += std::string("\\") + ch;
                else pattern += ch;
            }
            EXPECT_TRUE(std::regex_search(table.out, std::regex(pattern + "\n"))) << row << "\n" << table.out;
        }
    };
    rows(".kinds[], .packets[] | [.kind, .sd, .rd, .undecided] | @tsv");
    rows(".errors[] | select(.count > 0) | [.kind, .count, .first, .last] | @tsv");
    EXPECT_NE(table.out.find("time span        10:00:00 .. 10:00:09 (0:00:09, "), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("characters       SD " + std::to_string(chars.first) + ", RD " +
                             std::to_string(chars.second) + "\n"),
              std::string::npos);
    EXPECT_NE(table.out.find("data lost        1 marks (12 units), first 10:00:05, last 10:00:05\n"),
              std::string::npos);
}

TEST(StatsCommand, FramesAgreeWithTheCsvFrameLayoutInEveryLineMode) {
    testing_util::TempDir dir;
    InfoBody nrzi = HdlcBody();
    nrzi[1] = 3;
    struct Case {
        const char* name;
        InfoBody body;
        std::vector<std::uint32_t> words;
        std::vector<std::string> kinds;  // options that name kinds
        std::string kind_rows;           // some of the kinds: "kind sd rd undecided"
    };
    const Case cases[] = {
        {"async", AsyncBody(), MixedAsync(), {}, ""},
        {"sync", BscBody(kBscAscii), BscConversation(kBscAscii), {}, ""},
        {"hdlc", HdlcBody(), HdlcSample(), {"--frame", "sdlc"}, "(3F) 1 0 0\nUA 0 1 0\nINFO 2 1 0"},
        {"nrzi", nrzi, Q931Call(), {"--frame", "lapd", "--packet", "lapd"}, "SABME 1 0 0"},
        {"ppp", PppBody(), PppNegotiation(), {}, "LCP CONF-REQ 1 1 0"},
    };
    for (const Case& c : cases) {
        const std::string buffer = buffer_of(dir, c.name, c.body, c.words);
        const std::string json = stats_json(dir, buffer, c.kinds);
        auto csv = csv_frames(dir, buffer);
        const auto chars = characters(c.words);
        EXPECT_EQ(jq(json,
                     "[.records, .characters.sd, .characters.rd, .frames.sd, .frames.rd, .frames.undecided] | "
                     "map(tostring) | join(\" \")"),
                  std::to_string(c.words.size()) + " " + std::to_string(chars.first) + " " +
                      std::to_string(chars.second) + " " + std::to_string(csv["SD"]) + " " + std::to_string(csv["RD"]) +
                      " " + std::to_string(csv["?"]))
            << c.name;
        if (!c.kind_rows.empty()) {
            const std::string kinds =
                jq(json, ".kinds[] | [.kind, .sd, .rd, .undecided] | map(tostring) | join(\" \")");
            EXPECT_NE(kinds.find(c.kind_rows), std::string::npos) << c.name << "\n" << kinds;
        }
    }
    // Q.931 messages by name, the unnamed one by its value; PPP control codes by protocol.
    const std::string q931 = dir.file("nrzi.json");
    EXPECT_EQ(jq(q931, ".packets[] | [.kind, .sd, .rd] | @tsv"),
              "SETUP\t1\t0\nCALL PROC\t0\t1\nALERT\t0\t1\nCONN\t0\t1\nCONN ACK\t1\t0\nDISC\t1\t0\nREL\t0\t1\n"
              "REL COMP\t2\t0\n(7E)\t0\t1");
    EXPECT_EQ(jq(dir.file("ppp.json"),
                 "[.kinds[] | select(.kind | test(\"IPCP|^IP$|ECHO|LQR\")) | "
                 "[.kind, .sd, .rd, .undecided] | map(tostring) | join(\" \")] | join(\",\")"),
              "IPCP CONF-REQ 2 0 0,IPCP CONF-NAK 0 1 0,IPCP CONF-ACK 0 1 0,IP 1 1 0,LCP ECHO-REQ 0 0 1,LQR 0 1 0");
}

// Bars per minute and direction from the chart: data-minute and data-count of each bar.
std::map<std::string, long> bars(const std::string& svg, const char* direction) {
    std::map<std::string, long> sums;
    const std::string text = read_text(svg);
    const std::size_t from = text.find(std::string("<g class=\"") + direction + "\"");
    const std::size_t to = text.find("</g>", from);
    const std::regex bar(R"re(data-minute="([^"]+)" data-count="(\d+)")re");
    const std::string group = text.substr(from, to - from);
    for (std::sregex_iterator m(group.begin(), group.end(), bar), end; m != end; ++m)
        sums[(*m)[1]] += std::stol((*m)[2]);
    return sums;
}

TEST(StatsCommand, TheChartIsWellFormedAndItsBarsAddUpToThePerMinuteRows) {
    testing_util::TempDir dir;
    // A short line (drawn per second) and the simulator's seeded traffic over many minutes.
    InfoBody seeded{};
    default_conditions().write_info(std::span<std::uint8_t, 34>(seeded.data(), 34));
    const std::string buffers[] = {buffer_of(dir, "short", async_body(), async_line()),
                                   buffer_of(dir, "seeded", seeded, seed_words(7, 300000))};
    for (const std::string& buffer : buffers) {
        const std::string svg = dir.file(fs::path(buffer).filename().string() + ".svg");
        const Outcome r = zamvex({"stats", buffer, "--svg", svg});
        ASSERT_EQ(r.exit_code, 0) << r.err;
        EXPECT_NE(r.out.find("chart written to " + svg), std::string::npos);
        const Outcome lint = run_shell("xmllint --noout '" + svg + "'", std::chrono::seconds(30));
        EXPECT_EQ(lint.exit_code, 0) << lint.out << lint.err;
        const std::string json = stats_json(dir, buffer, {"--per-minute"});
        for (const char* d : {"sd", "rd"}) {
            std::string rows;
            for (const auto& [minute, n] : bars(svg, d)) rows += minute + " " + std::to_string(n) + "\n";
            EXPECT_EQ(
                rows,
                jq(json, ".per_minute[] | select(." + std::string(d) + " > 0) | \"\\(.minute) \\(." + d + ")\"") + "\n")
                << buffer << " " << d;
        }
        EXPECT_EQ(count_of(read_text(svg), "class=\"error\" "),
                  std::stoi(jq(json, "[.per_minute[] | select(.errors > 0)] | length")) + 1);
    }
    EXPECT_GT(std::stoi(jq(dir.file("seeded.json"), ".per_minute | length")), 10);
    EXPECT_NE(read_text(dir.file("seeded.svg")).find("characters per minute"), std::string::npos);
    EXPECT_NE(read_text(dir.file("short.svg")).find("characters per second"), std::string::npos);
}

TEST(StatsCommand, RefusesWhatConvertRefusesWithTheSameWords) {
    testing_util::TempDir dir;
    const std::string buffer = buffer_of(dir, "good", async_body(), async_line());
    const std::string empty = dir.file("empty");
    fs::create_directory(empty);
    testing_util::write_file(empty + "/notes.txt", std::string("no buffer here"));
    // Blocks 0 and 2 without 1: a damaged buffer.
    const std::string damaged = buffer_of(dir, "damaged", async_body(), async_line());
    fs::copy_file(damaged + "/00000000.mkw", damaged + "/00000002.mkw");
    const std::vector<std::vector<std::string>> inputs = {
        {empty}, {damaged}, {dir.file("nothing")}, {buffer, "--start", "2"}, {buffer + "/00000000.mkw"}};
    for (const auto& input : inputs) {
        std::vector<std::string> convert{"convert"}, stats{"stats"};
        convert.insert(convert.end(), input.begin(), input.end());
        stats.insert(stats.end(), input.begin(), input.end());
        convert.insert(convert.end(), {"--out", dir.file("text")});
        const Outcome c = zamvex(convert), s = zamvex(stats);
        EXPECT_EQ(c.exit_code, 1) << input[0];
        EXPECT_EQ(s.exit_code, 1) << input[0];
        EXPECT_FALSE(c.err.empty());
        EXPECT_EQ(s.err.substr(s.err.find(':')), c.err.substr(c.err.find(':'))) << input[0];
    }
    EXPECT_EQ(zamvex({"stats", buffer, "--packet", "x25"}).exit_code, 2);
}

}  // namespace
}  // namespace cli_test
