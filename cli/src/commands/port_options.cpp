// Reading --port, --speed and --parity.
#include "commands/port_options.h"

#include <algorithm>
#include <iterator>

#include "platform/port_name.h"

namespace cli {
namespace {

constexpr bool same_speeds_as_listed() {
    if (std::size(kAutoSpeeds) != std::size(platform::ListedSpeeds)) return false;
    for (const int s : platform::ListedSpeeds)
        if (std::count(std::begin(kAutoSpeeds), std::end(kAutoSpeeds), s) != 1) return false;
    return true;
}
static_assert(same_speeds_as_listed(), "--speed auto tries each speed of the port lists once");

// --speed: one speed, a list to try in turn, or auto (kAutoSpeeds).
bool read_speeds(const std::string& text, PortChoice& choice) {
    if (same_word(text, kAutoSpeed)) {
        choice.search.assign(std::begin(kAutoSpeeds), std::end(kAutoSpeeds));
        return true;
    }
    std::vector<int> speeds;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        const auto speed = parse_number(text.substr(start, comma - start), 50, 4000000);
        if (!speed) return false;
        speeds.push_back(static_cast<int>(*speed));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    choice.speed = speeds.front();
    if (speeds.size() > 1) choice.search = speeds;
    return true;
}

const OptionSpec& parity_row() {
    static const OptionSpec kRow = choice_option("--parity", kParityWords, "", PortChoice{}.parity);
    return kRow;
}

}  // namespace

std::vector<OptionSpec> with_port_options(std::vector<OptionSpec> options) {
    options.push_back(heading("port"));
    options.push_back({"--port", "P",
                       "COMn (ZAMVEX_PORT_COMn may map it, else /dev/ttyS(n-1)),\n"
                       "an absolute device path (/dev/ttyUSB0), or a simulator's pty;\n"
                       "'zamvex ports' lists this machine's serial ports",
                       ValueKind::Port});
    options.push_back({"--speed", "N",
                       "baud (default 115200); 'auto' tries each speed the analyzer\n"
                       "offers, most common first; N,N,... tries those in turn"});
    options.push_back(parity_row());
    return options;
}

std::optional<PortChoice> port_choice(const ParsedOptions& options, std::string& error) {
    PortChoice choice;
    choice.port = options.value("--port");
    if (choice.port.empty()) {
        error = "--port is needed (COMn, a device path, or the path that 'zamvex simulate' prints)";
        return std::nullopt;
    }
    if (options.has("--speed") && !read_speeds(options.value("--speed"), choice)) {
        error = "bad value for --speed: '" + options.value("--speed") + "' (N, N,N,... or auto)";
        return std::nullopt;
    }
    const auto parity = choice_value(options, parity_row(), choice.parity, error);
    if (!parity) return std::nullopt;
    choice.parity = *parity;
    return choice;
}

PortChoice port_choice(const CommandLine& line) {
    std::string error;
    const auto choice = port_choice(line.options(), error);
    if (!choice) throw UsageError(error);
    return *choice;
}

}  // namespace cli
