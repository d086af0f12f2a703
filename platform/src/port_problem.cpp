// The texts for port failures. Each names the device, says what the system
// reported and what the user can do, in the words a user would search for.
#include "platform/port_problem.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/port_access.h"
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

std::string openText(const std::string& path, int err) {
    switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return "There is no serial device " + quoted(path) + " (" + std::strerror(err) +
               "). Is the adapter plugged in?\n" + presentPortsLine();
    case EACCES:
    case EPERM: {
        const std::string advice = accessAdvice(path);
        return "No permission to open " + quoted(path) + " (" + std::strerror(err) + ")." +
               (advice.empty() ? "" : "\n" + advice);
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

std::string noAnswerHint(const std::string& path, const std::vector<int>& speeds, HintFor reader, bool japanese) {
    std::string list;
    for (const int s : speeds) list += (list.empty() ? "" : ", ") + std::to_string(s);
    const bool one = speeds.size() == 1;
    if (japanese)
        return quoted(path) + " の " + list + (one ? " bps では" : " bps のどの速度でも") +
               "計測器から応答がありませんでした。計測器は接続され、電源が入っていますか？計測器の通信速度の設定は" +
               (one ? " " + list + " bps " : "このどれか") +
               "ですか？ポートは正しいですか（シリアルポート設定にこのPCのシリアルポートが表示されます）？";
    const bool command = reader == HintFor::Command;
    const std::string speed = !one      ? "one of these"
                              : command ? "the same (--speed, or --speed auto to try each)"
                                        : list + " baud too";
    const std::string ports =
        command ? "'zamvex ports' lists them" : "the Serial Port Setting lists this machine's ports";
    return "Nothing answered on " + quoted(path) + " at " + (one ? "" : "any of ") + list +
           " baud. Is the analyzer connected and switched on? Is its speed setting " + speed +
           "? Is this the right port (" + ports + ")?";
}

const char* linkLostText(bool portGone) {
    return portGone ? "the serial port went away (unplugged?)"
                    : "the analyzer stopped answering: nothing came back on the line for about 8 seconds "
                      "(cable pulled, or the analyzer switched off?)";
}

}  // namespace platform
