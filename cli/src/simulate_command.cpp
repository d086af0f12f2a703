// `zamvex simulate`: parses the analyzer's options, opens a pseudo-terminal,
// prints its path on stdout and answers the line until SIGINT or SIGTERM.
#include "cli/simulate_command.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <string_view>

#include "cli/commands.h"
#include "simulator/pty_server.h"

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

bool line_mode(const std::string& text, AnalyzerOptions& o) {
    static constexpr std::string_view kNames[] = {"ASYNC", "SYNC", "HDLC", "NRZI", "PPP"};
    for (std::size_t i = 0; i < std::size(kNames); ++i)
        if (text == kNames[i]) {
            o.line_mode = static_cast<simulator::LineMode>(i);
            return true;
        }
    return false;
}

bool protocol(const std::string& text, AnalyzerOptions& o) {
    using simulator::FrameProtocol;
    static constexpr std::pair<std::string_view, FrameProtocol> kNames[] = {
        {"mixed", FrameProtocol::Mixed}, {"sdlc", FrameProtocol::Sdlc}, {"x25", FrameProtocol::X25Mod8},
        {"x25-128", FrameProtocol::X25Mod128}, {"lapd", FrameProtocol::Lapd},
    };
    for (const auto& [name, p] : kNames)
        if (text == name) {
            o.protocol = p;
            return true;
        }
    return false;
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
    static const std::vector<ValueOption> options = {
        {"--model", [](const std::string& t, AnalyzerOptions& o) {
             const auto m = simulator::model_from_name(t);
             if (m) o.model = *m;
             return m.has_value();
         }},
        {"--version", version},
        {"--seed", [](const std::string& t, AnalyzerOptions& o) {
             long long v = 0;
             if (!number(t, v)) return false;
             o.seed = static_cast<std::uint64_t>(v);
             return true;
         }},
        {"--mode", line_mode},
        {"--protocol", protocol},
        {"--rate", [](const std::string& t, AnalyzerOptions& o) { return int_into(t, o.records_per_second); }},
        {"--trigger-after", [](const std::string& t, AnalyzerOptions& o) {
             long long v = 0;
             if (!number(t, v)) return false;
             o.trigger_after = static_cast<std::uint64_t>(v);
             return true;
         }},
        {"--refuse-start", [](const std::string& t, AnalyzerOptions& o) {
             int v = 0;
             if (!int_into(t, v) || v > 255) return false;
             o.faults.refuse_start = v;
             return true;
         }},
        {"--drop-frame", [](const std::string& t, AnalyzerOptions& o) { return number_list(t, o.faults.drop_frames); }},
        {"--corrupt-frame", [](const std::string& t, AnalyzerOptions& o) { return number_list(t, o.faults.corrupt_frames); }},
        {"--delay-frame", [](const std::string& t, AnalyzerOptions& o) { return number_list(t, o.faults.delay_frames); }},
        {"--delay-ms", [](const std::string& t, AnalyzerOptions& o) { return int_into(t, o.faults.delay_ms); }},
        {"--lose-every", [](const std::string& t, AnalyzerOptions& o) { return int_into(t, o.faults.lose_every_items); }},
        {"--silent-after-frames", [](const std::string& t, AnalyzerOptions& o) {
             long long v = 0;
             if (!number(t, v)) return false;
             o.faults.silent_after_frames = static_cast<std::uint64_t>(v);
             return true;
         }},
        {"--silent-after-blocks", [](const std::string& t, AnalyzerOptions& o) {
             long long v = 0;
             if (!number(t, v)) return false;
             o.faults.silent_after_blocks = static_cast<std::uint64_t>(v);
             return true;
         }},
    };
    return options;
}

bool flag(const std::string& arg, AnalyzerOptions& o) {
    if (arg == "--text-only") o.text_only = true;
    else if (arg == "--hex-blocks") o.hex_blocks = true;
    else if (arg == "--mute") o.faults.mute = true;
    else if (arg == "--measuring") o.faults.measuring_at_connect = true;
    else return false;
    return true;
}

std::atomic<bool> g_stop{false};

extern "C" void on_signal(int) { g_stop.store(true); }

} // namespace

std::optional<SimulateSettings> parse_simulate_options(const std::vector<std::string>& args, std::string& error) {
    SimulateSettings settings;
    AnalyzerOptions& o = settings.analyzer;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            settings.help = true;
            return settings;
        }
        if (arg == "--keys") {
            settings.keys = true;
            continue;
        }
        // Only what the command's table lists is taken, so --help lists all there is.
        if (!find_option(kSimulateCommand.options, arg)) {
            error = "unknown option '" + arg + "'";
            return std::nullopt;
        }
        if (flag(arg, o)) continue;
        const ValueOption* option = nullptr;
        for (const ValueOption& v : value_options())
            if (arg == v.name) option = &v;
        if (!option && arg != "--link") {
            error = "unknown option '" + arg + "'";
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            error = "option " + arg + " needs a value";
            return std::nullopt;
        }
        const std::string& value = args[++i];
        if (!option) {
            settings.link_path = value;
        } else if (!option->apply(value, o)) {
            error = "bad value for " + arg + ": '" + value + "'";
            return std::nullopt;
        }
    }
    return settings;
}

int simulate_command(const std::vector<std::string>& args) {
    std::string error;
    const auto settings = parse_simulate_options(args, error);
    if (settings && settings->help) {
        std::fputs(help_text(kSimulateCommand).c_str(), stdout);
        return 0;
    }
    if (!settings) {
        std::fprintf(stderr, "zamvex simulate: %s\n(see zamvex simulate --help)\n", error.c_str());
        return 2;
    }
    const AnalyzerOptions& o = settings->analyzer;
    const std::string& link = settings->link_path;
    try {
        simulator::PtyServer server(o);
        if (!link.empty()) {
            ::unlink(link.c_str());
            if (::symlink(server.slave_path().c_str(), link.c_str()) != 0) {
                std::perror(("zamvex simulate: cannot link " + link).c_str());
                return 1;
            }
        }
        std::signal(SIGINT, on_signal);
        std::signal(SIGTERM, on_signal);
        std::printf("%s\n", server.slave_path().c_str());
        std::fflush(stdout);
        std::fprintf(stderr, "zamvex simulate: %s %X.%02X on %s (Ctrl-C or SIGTERM ends)\n", simulator::model_name(o.model),
                     static_cast<unsigned>(o.version_major), static_cast<unsigned>(o.version_minor),
                     server.slave_path().c_str());
        server.run(g_stop, settings->keys ? STDIN_FILENO : -1);
        if (!link.empty()) ::unlink(link.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zamvex simulate: %s\n", e.what());
        return 1;
    }
    return 0;
}

const Command kSimulateCommand{
    .name = "simulate",
    .summary = "serve a simulated RV-7010/7020/7030 analyzer on a pseudo-terminal",
    .synopsis = "[options]",
    .description =
        "Serves a simulated analyzer on a pseudo-terminal. The first line on stdout is the\n"
        "device path for the programs to open; it runs until interrupted (SIGINT, SIGTERM).\n",
    .options = {
        heading("analyzer"),
        {"--model", "RV-7010|RV-7020|RV-7030", "model (default RV-7020)"},
        {"--version", "X.Y", "firmware version, hexadecimal (default 1.05)"},
        {"--text-only", nullptr, "firmware without packet mode"},
        {"--hex-blocks", nullptr, "text mode sends data sets as \"$\" hex blocks"},
        {"--link", "PATH", "also make PATH a symbolic link to the device", ValueKind::File},
        {"--keys", nullptr,
         "press panel keys typed on stdin, one per line\n(RUN, STOP, UP, SHIFT+0, 33, 0x21, ...)"},
        heading("measurement"),
        {"--seed", "N", "traffic seed (default 1)"},
        {"--mode", "ASYNC|SYNC|HDLC|NRZI|PPP", "line mode of the default setup (default HDLC)"},
        {"--protocol", "mixed|sdlc|x25|x25-128|lapd", "frames on HDLC/NRZI lines (default mixed)"},
        {"--rate", "N", "records per second; 0 = as fast as the line allows (default 2000)"},
        {"--trigger-after", "N", "the running state turns to triggered after N records"},
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
    },
    .run = simulate_command,
};

} // namespace cli
