// The state file's keys, one row each, and its text both ways.
#include "service/capture_state.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <variant>

#include "pcbuffer/buffer_names.h"

namespace cli {
namespace {

using Field = std::variant<long long CaptureState::*, std::string CaptureState::*>;

struct Row {
    const char* key;
    Field field;
};

const std::array<Row, 13> kRows{{
    {"pid", &CaptureState::pid},
    {"process_start", &CaptureState::process_start},
    {"command", &CaptureState::command},
    {"port", &CaptureState::port},
    {"folder", &CaptureState::folder},
    {"since", &CaptureState::since},
    {"state", &CaptureState::state},
    {"first_block", &CaptureState::first_block},
    {"next_block", &CaptureState::next_block},
    {"blocks", &CaptureState::blocks},
    {"rate", &CaptureState::rate},
    {"losses", &CaptureState::losses},
    {"outages", &CaptureState::outages},
}};

// A value stays on its line: a line end in a path is written as a space.
std::string one_line(std::string value) {
    for (char& c : value)
        if (c == '\n') c = ' ';
    return value;
}

std::string plural(long long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string state_figures(const CaptureState& s) {
    std::string text;
    if (!s.folder.empty()) {
        text = plural(s.blocks, "block", "blocks");
        if (s.blocks > 0)
            text += " (" + pcbuffer::BlockFileName(static_cast<int>(s.first_block)) + " to " +
                    pcbuffer::BlockFileName(static_cast<int>(s.next_block - 1)) + ")";
        char rate[32];
        std::snprintf(rate, sizeof rate, "%.1f KiB/s", static_cast<double>(s.rate) / 1024);
        text += std::string(", ") + rate + ", ";
    }
    return text + plural(s.losses, "data loss", "data losses") + ", " + plural(s.outages, "outage", "outages");
}

std::string state_file_name(long long pid) { return "capture-" + std::to_string(pid) + ".state"; }

std::string state_text(const CaptureState& state) {
    std::string text;
    for (const Row& row : kRows) {
        text += row.key;
        text += '=';
        if (const auto* number = std::get_if<long long CaptureState::*>(&row.field))
            text += std::to_string(state.**number);
        else text += one_line(state.*std::get<std::string CaptureState::*>(row.field));
        text += '\n';
    }
    return text;
}

std::optional<CaptureState> parse_state(const std::string& text) {
    CaptureState state;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        for (const Row& row : kRows) {
            if (key != row.key) continue;
            if (const auto* number = std::get_if<long long CaptureState::*>(&row.field))
                state.** number = std::atoll(value.c_str());
            else state.*std::get<std::string CaptureState::*>(row.field) = value;
        }
    }
    if (state.pid <= 0 || state.port.empty()) return std::nullopt;
    return state;
}

}  // namespace cli
