// Reading --port, --speed and --parity, and the common error line.
#include "commands/port_options.h"

#include <cstdio>

namespace cli {

std::vector<OptionSpec> with_port_options(std::vector<OptionSpec> options) {
    options.push_back(heading("port"));
    options.push_back({"--port", "P",
                       "COMn (ZAMVEX_PORT_COMn may map it, else /dev/ttyS(n-1)),\n"
                       "an absolute device path (/dev/ttyUSB0), or a simulator's pty;\n"
                       "'zamvex ports' lists this machine's serial ports",
                       ValueKind::Port});
    options.push_back({"--speed", "N", "baud (default 115200)"});
    options.push_back({"--parity", "none|odd|even", "(default none)"});
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
