// `zamvex simulate`: parses the analyzer's options, opens a pseudo-terminal,
// prints its path on stdout and answers the line until SIGINT or SIGTERM.
#include "cli/simulate_command.h"

#include <unistd.h>

#include <atomic>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <string_view>
#include <utility>

#include "commands/commands.h"
#include "simulator/pty_server.h"
#include "simulator/replay.h"
#include "text/command_line.h"

namespace cli {
namespace {

using simulator::AnalyzerOptions;

bool number(const std::string& text, long long& value, int base = 10) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, base);
    return *end == '\0' && value >= 0;
}

bool number_list(const std::string& text, std::set<std::uint64_t>& into) {
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = text.find(',', start);
        long long v = 0;
        if (!number(text.substr(start, comma - start), v) || v == 0) return false;
        into.insert(static_cast<std::uint64_t>(v));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return true;
}

bool version(const std::string& text, AnalyzerOptions& o) {
    const std::size_t dot = text.find('.');
    long long major = 0, minor = 0;
    if (dot == std::string::npos || !number(text.substr(0, dot), major, 16) ||
        !number(text.substr(dot + 1), minor, 16) || major > 0xFF || minor > 0xFF)
        return false;
    o.version_major = static_cast<int>(major);
    o.version_minor = static_cast<int>(minor);
    return true;
}

// The row of one of simulate's options; a choice's place among its row's words
// is the enumerator it stands for (LineMode, FrameProtocol).
const OptionSpec& row(const char* option) { return *find_option(kSimulateCommand.options, option); }

// Names that older scripts use for a protocol word.
constexpr std::pair<std::string_view, const char*> kProtocolAliases[] = {{"x25-128", "x25x"}};

// "RV-7020" in any case.
std::optional<simulator::Model> model(std::string name) {
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return simulator::model_from_name(name);
}

struct ValueOption {
    const char* name;
    std::function<bool(const std::string&, AnalyzerOptions&)> apply;
};

bool int_into(const std::string& t, int& into) {
    long long v = 0;
    if (!number(t, v) || v > 1000000000) return false;
    into = static_cast<int>(v);
    return true;
}

const std::vector<ValueOption>& value_options() {
    static const std::vector<ValueOption> kOptions = {
        {"--model",
         [](const std::string& t, AnalyzerOptions& o) {
             const auto m = model(t);
             if (m) o.model = *m;
             return m.has_value();
         }},
        {"--version", version},
        {"--seed",
         [](const std::string& t, AnalyzerOptions& o) {
             long long v = 0;
             if (!number(t, v)) return false;
             o.seed = static_cast<std::uint64_t>(v);
             return true;
         }},
        {"--rate", [](const std::string& t, AnalyzerOptions& o) { return int_into(t, o.records_per_second); }},
        {"--trigger-after",
         [](const std::string& t, AnalyzerOptions& o) {
             long long v = 0;
             if (!number(t, v)) return false;
             o.trigger_after = static_cast<std::uint64_t>(v);
             return true;
         }},
        {"--records",
         [](const std::string& t, AnalyzerOptions& o) {
             long long v = 0;
             if (!number(t, v)) return false;
             o.record_limit = static_cast<std::uint64_t>(v);
             return true;
         }},
        {"--refuse-start",
         [](const std::string& t, AnalyzerOptions& o) {
             int v = 0;
             if (!int_into(t, v) || v > 255) return false;
             o.faults.refuse_start = v;
             return true;
         }},
        {"--drop-frame", [](const std::string& t, AnalyzerOptions& o) { return number_list(t, o.faults.drop_frames); }},
        {"--corrupt-frame",
         [](const std::string& t, AnalyzerOptions& o) { return number_list(t, o.faults.corrupt_frames); }},
        {"--delay-frame",
         [](const std::string& t, AnalyzerOptions& o) { return number_list(t, o.faults.delay_frames); }},
        {"--delay-ms", [](const std::string& t, AnalyzerOptions& o) { return int_into(t, o.faults.delay_ms); }},
        {"--lose-every",
         [](const std::string& t, AnalyzerOptions& o) { return int_into(t, o.faults.lose_every_items); }},
        {"--silent-after-frames",
         [](const std::string& t, AnalyzerOptions& o) {
             long long v = 0;
             if (!number(t, v)) return false;
             o.faults.silent_after_frames = static_cast<std::uint64_t>(v);
             return true;
         }},
        {"--silent-after-blocks",
         [](const std::string& t, AnalyzerOptions& o) {
             long long v = 0;
             if (!number(t, v)) return false;
             o.faults.silent_after_blocks = static_cast<std::uint64_t>(v);
             return true;
         }},
        {"--speed", [](const std::string& t,
                       AnalyzerOptions& o) { return int_into(t, o.speed) && simulator::serves_speed(o.speed); }},
    };
    return kOptions;
}

struct Flag {
    const char* name;
    bool AnalyzerOptions::*field;
};

constexpr Flag kFlags[] = {
    {"--text-only", &AnalyzerOptions::text_only},
    {"--hex-blocks", &AnalyzerOptions::hex_blocks},
};

struct FaultFlag {
    const char* name;
    bool simulator::Faults::*field;
};

constexpr FaultFlag kFaultFlags[] = {
    {"--mute", &simulator::Faults::mute},
    {"--measuring", &simulator::Faults::measuring_at_connect},
};

// The line mode and the frame protocol by their words' places in their rows.
bool read_choices(const ParsedOptions& parsed, AnalyzerOptions& o, std::string& error) {
    if (parsed.has("--mode")) {
        const auto mode = choice_value(parsed, row("--mode"), 0, error);
        if (!mode) return false;
        o.line_mode = static_cast<simulator::LineMode>(*mode);
    }
    ParsedOptions aliased = parsed;
    for (const auto& [alias, word] : kProtocolAliases)
        if (same_word(parsed.value("--protocol"), alias)) aliased.values["--protocol"] = word;
    const auto protocol = choice_value(aliased, row("--protocol"), static_cast<int>(o.protocol), error);
    if (!protocol) return false;
    o.protocol = static_cast<simulator::FrameProtocol>(*protocol);
    return true;
}

// --replay FILE with its speed and loop; the options of generated traffic do not go with it.
bool read_replay(const ParsedOptions& parsed, AnalyzerOptions& o, std::string& error) {
    if (!parsed.has("--replay")) {
        for (const char* name : {"--replay-speed", "--replay-loop"})
            if (parsed.has(name)) error = std::string(name) + " goes with --replay FILE";
        return error.empty();
    }
    for (const char* name : {"--rate", "--protocol", "--seed"})
        if (parsed.has(name)) error = std::string(name) + " chooses generated traffic; it does not go with --replay";
    if (!error.empty()) return false;
    simulator::ReplayOptions r;
    r.path = parsed.value("--replay");
    r.loop = parsed.has("--replay-loop");
    if (parsed.has("--replay-speed")) {
        const std::string& t = parsed.value("--replay-speed");
        char* end = nullptr;
        r.speed = std::strtod(t.c_str(), &end);
        if (t.empty() || *end != '\0' || !(r.speed >= 0 && r.speed <= 1e6)) {
            error =
                "bad value for --replay-speed: '" + t + "' (a factor such as 2 or 0.5; 0 = as fast as the line allows)";
            return false;
        }
    }
    o.replay = r;
    return true;
}

std::optional<SimulateSettings> settings_from(const ParsedOptions& parsed, std::string& error) {
    SimulateSettings settings;
    AnalyzerOptions& o = settings.analyzer;
    settings.help = parsed.help;
    settings.keys = parsed.has("--keys");
    settings.link_path = parsed.value("--link");
    for (const Flag& f : kFlags)
        if (parsed.has(f.name)) o.*f.field = true;
    for (const FaultFlag& f : kFaultFlags)
        if (parsed.has(f.name)) o.faults.*f.field = true;
    for (const ValueOption& v : value_options()) {
        if (!parsed.has(v.name)) continue;
        if (!v.apply(parsed.value(v.name), o)) {
            error = "bad value for " + std::string(v.name) + ": '" + parsed.value(v.name) + "'";
            return std::nullopt;
        }
    }
    if (!read_choices(parsed, o, error) || !read_replay(parsed, o, error)) return std::nullopt;
    return settings;
}

std::atomic<bool> g_stop{false};
bool g_replay_failed = false;

extern "C" void on_signal(int) { g_stop.store(true); }

}  // namespace

std::optional<SimulateSettings> parse_simulate_options(const std::vector<std::string>& args, std::string& error) {
    const auto parsed = parse_options(args, kSimulateCommand.options, error);
    if (!parsed) return std::nullopt;
    return settings_from(*parsed, error);
}

namespace {

// Checks the replay file before the analyzer starts and sets the line mode its frames need.
std::string prepare_replay(AnalyzerOptions& o, bool mode_given) {
    simulator::ReplayFile file;
    if (std::string e = simulator::check_replay_file(o.replay->path, file); !e.empty()) return e;
    std::string types;
    for (const std::uint32_t t : file.link_types) types += (types.empty() ? "" : ", ") + simulator::link_type_name(t);
    const bool hdlc = file.mode == simulator::LineMode::Hdlc;
    if (mode_given && (hdlc ? *o.line_mode != simulator::LineMode::Hdlc && *o.line_mode != simulator::LineMode::Nrzi
                            : *o.line_mode != simulator::LineMode::Ppp))
        throw UsageError("--mode does not fit " + o.replay->path + ": its " + types + " frames need " +
                         (hdlc ? "an HDLC or NRZI line" : "a PPP line"));
    if (!mode_given) o.line_mode = file.mode;
    o.replay->frames = file.frames;
    std::fprintf(stderr, "zamvex simulate: replaying %s: %llu frames (%s)%s\n", o.replay->path.c_str(),
                 static_cast<unsigned long long>(file.frames), types.c_str(), o.replay->loop ? ", looped" : "");
    return {};
}

void report_replay(const simulator::ReplayReport& r) {
    const std::uint64_t frames = r.sd + r.rd + r.undecided;
    const char* how = !r.error.empty() ? "failed after" : r.finished ? "played to its end:" : "stopped after";
    std::fprintf(stderr, "zamvex simulate: replay of %s %s %llu frames (SD %llu, RD %llu", r.path.c_str(), how,
                 static_cast<unsigned long long>(frames), static_cast<unsigned long long>(r.sd),
                 static_cast<unsigned long long>(r.rd));
    if (r.undecided > 0) std::fprintf(stderr, ", no direction %llu", static_cast<unsigned long long>(r.undecided));
    std::fputc(')', stderr);
    if (r.rounds > 1 || (!r.finished && r.rounds > 0))
        std::fprintf(stderr, ", the file played %llu times", static_cast<unsigned long long>(r.rounds));
    std::fprintf(stderr, "\n  cut short in the file (sent as captured): %llu\n",
                 static_cast<unsigned long long>(r.cut_short));
    std::fprintf(stderr, "  longer than %zu cells: %llu\n", simulator::kLongestFrameCells,
                 static_cast<unsigned long long>(r.too_long));
    if (r.too_long > 0)
        std::fputs(
            "  (the analyzer records them whole; convert and export keep their first cells, and export\n"
            "  marks them cut short)\n",
            stderr);
    if (r.error.empty()) return;
    std::fprintf(stderr, "zamvex simulate: %s\n", r.error.c_str());
    g_replay_failed = true;
    g_stop.store(true);
}

int simulate_command(const CommandLine& line) {
    std::string error;
    const auto settings = settings_from(line.options(), error);
    if (!settings) throw UsageError(error);
    AnalyzerOptions o = settings->analyzer;
    if (o.replay) {
        if (std::string e = prepare_replay(o, line.options().has("--mode")); !e.empty()) return line.fail(e);
    }
    const std::string& link = settings->link_path;
    try {
        simulator::PtyServer server(o);
        server.on_replay_end(report_replay);
        if (!link.empty()) {
            ::unlink(link.c_str());
            if (::symlink(server.slave_path().c_str(), link.c_str()) != 0) {
                std::perror(("zamvex simulate: cannot link " + link).c_str());
                return kExitFailed;
            }
        }
        std::signal(SIGINT, on_signal);
        std::signal(SIGTERM, on_signal);
        std::printf("%s\n", server.slave_path().c_str());
        std::fflush(stdout);
        const std::string speed = o.speed ? " at " + std::to_string(o.speed) + " baud" : "";
        std::fprintf(stderr, "zamvex simulate: %s %X.%02X on %s%s (Ctrl-C or SIGTERM ends)\n",
                     simulator::model_name(o.model), static_cast<unsigned>(o.version_major),
                     static_cast<unsigned>(o.version_minor), server.slave_path().c_str(), speed.c_str());
        server.run(g_stop, settings->keys ? STDIN_FILENO : -1);
        if (!link.empty()) ::unlink(link.c_str());
    } catch (const std::exception& e) {
        return line.fail(e.what());
    }
    return g_replay_failed ? kExitFailed : kExitDone;
}

}  // namespace

const Command kSimulateCommand{
    .name = "simulate",
    .summary = "serve a simulated RV-7010/7020/7030 analyzer on a pseudo-terminal",
    .synopsis = "[options]",
    .description =
        "Serves a simulated analyzer on a pseudo-terminal. The first line on stdout is the\n"
        "device path for the programs to open; it runs until interrupted (SIGINT, SIGTERM).\n"
        "With --replay FILE its measurements carry the frames of a capture file instead of\n"
        "generated traffic, at the file's pace, and end after the file's last frame.\n",
    .options =
        {
            heading("analyzer"),
            {"--model", "RV-7010|RV-7020|RV-7030", "model (default RV-7020)"},
            {"--version", "X.Y", "firmware version, hexadecimal (default 1.05)"},
            {"--text-only", nullptr, "firmware without packet mode"},
            {"--hex-blocks", nullptr, "text mode sends data sets as \"$\" hex blocks"},
            {"--link", "PATH", "also make PATH a symbolic link to the device", ValueKind::File},
            {"--keys", nullptr,
             "press panel keys typed on stdin, one per line\n(RUN, STOP, UP, SHIFT+0, 33, 0x21, ...)"},
            {"--speed", "BAUD",
             "answer only a PC that set the port to this speed, as a\nreal line does (default: any speed)"},
            heading("measurement"),
            {"--seed", "N", "traffic seed (default 1)"},
            {"--mode", "async|sync|hdlc|nrzi|ppp", "line mode of the default setup (default hdlc)"},
            choice_option("--protocol", "mixed|sdlc|x25|x25x|lapd", "frames on HDLC/NRZI lines",
                          static_cast<int>(AnalyzerOptions{}.protocol)),
            {"--rate", "N", "records per second; 0 = as fast as the line allows (default 2000)"},
            {"--trigger-after", "N", "the running state turns to triggered after N records"},
            {"--records", "N", "a measurement sends N records, then runs on without data"},
            heading("faults"),
            {"--mute", nullptr, "never answer"},
            {"--measuring", nullptr, "already measuring when the PC connects"},
            {"--refuse-start", "REASON", "refuse measurement starts with this stop reason"},
            {"--drop-frame", "N[,N...]", "do not send these frames (counted from 1)"},
            {"--corrupt-frame", "N[,N...]", "send these frames with a broken CRC"},
            {"--delay-frame", "N[,N...]", "hold these frames back (see --delay-ms)"},
            {"--delay-ms", "MS", "how long held frames wait (default 2000)"},
            {"--lose-every", "N", "lose every N-th captured-data item (data loss)"},
            {"--silent-after-frames", "N", "go dead after sending N frames"},
            {"--silent-after-blocks", "N", "go dead after sending N text-mode data blocks"},
            heading("replay"),
            {"--replay", "FILE",
             "the measurement carries this pcap or pcapng file's frames\n(the file's link type sets the line mode)",
             ValueKind::File},
            {"--replay-speed", "X", "the file's times divided by X (default 1);\n0 = as fast as the line allows"},
            {"--replay-loop", nullptr, "start the file again after its last frame"},
        },
    .run = run_with<simulate_command, kSimulateCommand>,
};

}  // namespace cli
