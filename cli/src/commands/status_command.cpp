// `zamvex status`: the captures running on this machine, from the state
// files they keep (service/state_file.h); files left by a process that is
// gone are shown as stale, never as running.
#include <cstdio>
#include <ctime>

#include "commands/commands.h"
#include "service/state_file.h"
#include "text/command_line.h"
#include "text/json_text.h"

namespace cli {
namespace {

std::string local_time(long long unix_seconds, const char* format) {
    const std::time_t t = static_cast<std::time_t>(unix_seconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    char text[40];
    std::strftime(text, sizeof text, format, &tm);
    return text;
}

std::string status_text(const std::vector<FoundState>& found) {
    if (found.empty()) return "no capture runs on this machine\n";
    std::string out;
    for (const FoundState& f : found) {
        const CaptureState& s = f.state;
        out += s.command + " on " + s.port + " (process " + std::to_string(s.pid) + "): ";
        if (!f.running) {
            out += "not running: its process has ended (stale state file " + f.path + ")\n";
            continue;
        }
        out += s.state + ", capturing since " + local_time(s.since, "%Y-%m-%d %H:%M:%S") + "\n  ";
        if (!s.folder.empty()) out += "into " + s.folder + ": ";
        out += state_figures(s) + "\n";
    }
    return out;
}

std::string status_json(const std::vector<FoundState>& found) {
    std::string out = "[";
    for (std::size_t i = 0; i < found.size(); ++i) {
        const CaptureState& s = found[i].state;
        auto number = [](const char* key, long long v) {
            return std::string(", \"") + key + "\": " + std::to_string(v);
        };
        out += std::string(i ? ",\n " : "") + "{\"command\": " + json_string(s.command) +
               ", \"pid\": " + std::to_string(s.pid) + ", \"running\": " + (found[i].running ? "true" : "false") +
               ", \"state\": " + json_string(found[i].running ? s.state : "stale") +
               ", \"port\": " + json_string(s.port) +
               ", \"folder\": " + (s.folder.empty() ? "null" : json_string(s.folder)) +
               ", \"since\": " + json_string(local_time(s.since, "%Y-%m-%dT%H:%M:%S%z")) + number("blocks", s.blocks) +
               number("first_block", s.first_block) + number("next_block", s.next_block) +
               number("rate_bytes_per_second", s.rate) + number("losses", s.losses) + number("outages", s.outages) +
               ", \"state_file\": " + json_string(found[i].path) + "}";
    }
    return out + "]\n";
}

int status_command(const CommandLine& line) {
    line.no_operands();
    const std::vector<FoundState> found = find_capture_states();
    std::fputs((line.has("--json") ? status_json(found) : status_text(found)).c_str(), stdout);
    return kExitDone;
}

}  // namespace

const Command kStatusCommand{
    .name = "status",
    .summary = "show the captures running on this machine",
    .synopsis = "[--json]",
    .description =
        "Lists the captures (zamvex capture, monitor and zamvex-extcap, services included)\n"
        "running on this machine: port, folder, since when, blocks held, the storing rate,\n"
        "data losses, outages, and whether each is measuring or waiting for its port. Each\n"
        "capture keeps a small state file in $XDG_RUNTIME_DIR/zamvex, or /run/zamvex for\n"
        "services; a file whose process has ended is shown as stale.\n",
    .options =
        {
            {"--json", nullptr, "print the list as JSON for scripts"},
        },
    .run = run_with<status_command, kStatusCommand>,
};

}  // namespace cli
