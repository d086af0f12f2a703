// `zamvex ports`: the serial ports of this machine, whether this user may open
// each one, and whether a program holds it.
#include <cstdio>

#include "commands/commands.h"
#include "commands/ports_report.h"
#include "platform/port_access.h"
#include "text/command_line.h"

namespace cli {
namespace {

int ports_command(const CommandLine& line) {
    line.no_operands();
    std::vector<PortState> states;
    for (platform::SerialPortInfo& port : platform::scanSerialPorts()) {
        PortState s;
        s.access_problem = platform::accessProblem(port.device);
        s.holder = platform::findPortHolder(port.device);
        s.port = std::move(port);
        states.push_back(std::move(s));
    }
    std::fputs((line.has("--json") ? ports_json(states) : ports_text(states)).c_str(), stdout);
    return kExitDone;
}

}  // namespace

const Command kPortsCommand{
    .name = "ports",
    .summary = "list this machine's serial ports, who may open them and who holds them",
    .synopsis = "[--json]",
    .description =
        "Lists the USB serial adapters (/dev/ttyUSB*, /dev/ttyACM*) with their stable\n"
        "/dev/serial/by-id names and the USB vendor, product and serial number, and the\n"
        "on-board /dev/ttyS* ports that have a UART. For each it says whether you may open\n"
        "it (when not: the group to join, or the udev rule that gives it to one) and whether\n"
        "a program holds its lock. The port dialogs of the window programs offer the same\n"
        "list.\n",
    .options =
        {
            {"--json", nullptr, "print the list as JSON for scripts"},
        },
    .run = run_with<ports_command, kPortsCommand>,
};

}  // namespace cli
