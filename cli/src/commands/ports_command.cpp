// `zamvex ports`: the serial ports of this machine, whether this user may open
// each one, and whether a program holds it.
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/commands.h"
#include "commands/ports_report.h"
#include "text/command_line.h"

namespace cli {
namespace {

// Empty when this user may read and write the device; else why not and what to do.
std::string access_problem(const std::string& device) {
    if (::access(device.c_str(), R_OK | W_OK) == 0) return "";
    const int error = errno;
    std::string text = std::string("you may not open it: ") + std::strerror(error);
    struct stat st {};
    if (error == EACCES && ::stat(device.c_str(), &st) == 0) {
        const group* g = ::getgrgid(st.st_gid);
        const std::string name = g ? g->gr_name : std::to_string(st.st_gid);
        text += "; it belongs to group '" + name + "': 'sudo usermod -aG " + name + " $USER', then log in again";
    }
    return text;
}

int ports_command(const CommandLine& line) {
    line.no_operands();
    std::vector<PortState> states;
    for (platform::SerialPortInfo& port : platform::scanSerialPorts()) {
        PortState s;
        s.access_problem = access_problem(port.device);
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
        "it (with the group to join when not) and whether a program holds its lock. The\n"
        "port dialogs of the window programs offer the same list.\n",
    .options =
        {
            {"--json", nullptr, "print the list as JSON for scripts"},
        },
    .run = run_with<ports_command, kPortsCommand>,
};

}  // namespace cli
