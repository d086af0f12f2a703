// Reading --port, --speed and --parity, and the common error line.
#include "commands/port_options.h"

#include <cstdio>

namespace cli {

void add_port_specs(std::vector<OptionSpec>& specs) {
    specs.push_back({"--port", true});
    specs.push_back({"--speed", true});
    specs.push_back({"--parity", true});
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
    const std::string parity = options.value("--parity", "none");
    if (parity == "none") choice.parity = 0;
    else if (parity == "odd") choice.parity = 1;
    else if (parity == "even") choice.parity = 2;
    else {
        error = "bad value for --parity: '" + parity + "' (none, odd or even)";
        return std::nullopt;
    }
    return choice;
}

int fail(const char* command, const std::string& text, int code) {
    std::fprintf(stderr, "zamvex %s: %s\n", command, text.c_str());
    if (code == 2) std::fprintf(stderr, "(see zamvex %s --help)\n", command);
    return code;
}

}  // namespace cli
