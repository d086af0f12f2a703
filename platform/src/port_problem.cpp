// The texts for port failures. Each names the device, says what the system
// reported and what the user can do, in the words a user would search for.
#include "platform/port_problem.h"

#include <grp.h>
#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/port_holder.h"
#include "platform/port_name.h"
#include "platform/serial_ports.h"

namespace platform {
namespace {

std::string quoted(const std::string& path) { return "'" + path + "'"; }

std::string presentPortsLine() {
    const std::vector<std::string> ports = serialPortNames(scanSerialPorts());
    if (ports.empty()) return "No serial port adapter was found (/dev/serial/by-id, /dev/ttyUSB*, /dev/ttyACM*).";
    std::string line = "Serial ports present:";
    for (const std::string& p : ports) line += " " + p;
    return line;
}

// The group that may open the device ("dialout" on Debian), for the hint.
std::string deviceGroup(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        if (const group* g = ::getgrgid(st.st_gid); g && g->gr_gid != 0) return g->gr_name;
    return "dialout";
}

std::string openText(const std::string& path, int err) {
    switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return "There is no serial device " + quoted(path) + " (" + std::strerror(err) +
               "). Is the adapter plugged in?\n" + presentPortsLine();
    case EACCES:
    case EPERM: {
        const std::string group = deviceGroup(path);
        return "No permission to open " + quoted(path) + " (" + std::strerror(err) + ").\nAdd yourself to the '" +
               group + "' group: sudo usermod -aG " + group + " $USER, then log in again.";
    }
    case EBUSY:
        return quoted(path) + " is busy: another program opened it exclusively (" + std::strerror(err) +
               ").\nClose that program and try again.";
    default: return "Cannot open " + quoted(path) + ": " + std::strerror(err) + ".";
    }
}

std::string lockText(const std::string& path, int err) {
    if (err != EWOULDBLOCK) return "Cannot lock " + quoted(path) + ": " + std::strerror(err) + ".";
    if (const auto holder = findPortHolder(path)) {
        const std::string who = holder->program.empty() ? "another program" : holder->program;
        return quoted(path) + " is in use by " + who + " (process " + std::to_string(holder->pid) +
               ").\nEnd that program, or disconnect it from the port, and try again.";
    }
    return quoted(path) + " is in use by another program.\nClose that program and try again.";
}

std::string configureText(const std::string& path, int err, int speed) {
    if (err == ENOTTY) return quoted(path) + " is not a serial device (" + std::string(std::strerror(err)) + ").";
    if (err == EINVAL)
        return quoted(path) + " does not support " + std::to_string(speed) +
               " baud.\nChoose a speed that both the adapter and the analyzer support.";
    return "Cannot set up " + quoted(path) + ": " + std::strerror(err) + ".";
}

}  // namespace

std::string portProblemText(const std::string& path, PortFailure f, int speed) {
    switch (f.step) {
    case PortStep::Open: return openText(path, f.error);
    case PortStep::Lock: return lockText(path, f.error);
    case PortStep::Configure: return configureText(path, f.error, speed);
    case PortStep::NotSerial: return quoted(path) + " is not a serial device.";
    case PortStep::None: break;
    }
    return "Cannot use " + quoted(path) + ".";
}

std::string portProblemForName(const std::string& portName, int step, int error, int speed) {
    return portProblemText(devicePath(portName), {static_cast<PortStep>(step), error}, speed);
}

const char* linkLostText(bool portGone) {
    return portGone ? "the serial port went away (unplugged?)"
                    : "the analyzer stopped answering: nothing came back on the line for about 8 seconds "
                      "(cable pulled, or the analyzer switched off?)";
}

}  // namespace platform
