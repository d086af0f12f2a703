// Reading --port, --speed and --parity.
#include "commands/port_options.h"

namespace cli {
namespace {

const OptionSpec& parity_row() {
    static const OptionSpec row = choice_option("--parity", kParityWords, "", PortChoice{}.parity);
    return row;
}

}  // namespace

std::vector<OptionSpec> with_port_options(std::vector<OptionSpec> options) {
    options.push_back(heading("port"));
    options.push_back({"--port", "P",
                       "COMn (ZAMVEX_PORT_COMn may map it, else /dev/ttyS(n-1)),\n"
                       "an absolute device path (/dev/ttyUSB0), or a simulator's pty;\n"
                       "'zamvex ports' lists this machine's serial ports",
                       ValueKind::Port});
    options.push_back({"--speed", "N", "baud (default 115200)"});
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
    if (options.has("--speed")) {
        const auto speed = parse_number(options.value("--speed"), 50, 4000000);
        if (!speed) {
            error = "bad value for --speed: '" + options.value("--speed") + "'";
            return std::nullopt;
        }
        choice.speed = static_cast<int>(*speed);
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
