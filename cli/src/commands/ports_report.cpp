// One block of lines (or one JSON object) per port.
#include "commands/ports_report.h"

#include <cstdio>

#include "text/json_text.h"

namespace cli {
namespace {

constexpr const char* kSuitePrograms[] = {"zamvex", "capstore", "frontpad", "setxfer"};

std::string usb_line(const platform::SerialPortInfo& p) {
    std::string line = p.manufacturer;
    if (!p.product.empty()) line += (line.empty() ? "" : " ") + p.product;
    line += (line.empty() ? "" : " ") + std::string("(USB ") + p.vendorId + ":" + p.productId;
    if (!p.serial.empty()) line += ", serial " + p.serial;
    return line + ")";
}

// "    " before each line of a text that may have several (a udev rule).
std::string indented(const std::string& text) {
    std::string out = "    ";
    for (const char c : text) out += c == '\n' ? std::string("\n    ") : std::string(1, c);
    return out + "\n";
}

std::string holder_text(const platform::PortHolder& h) {
    std::string name = h.program.empty() ? "a process" : h.program;
    return "in use by " + name + " (pid " + std::to_string(h.pid) + ")" +
           (held_by_suite(h) ? ", a program of this suite" : "");
}

}  // namespace

bool held_by_suite(const platform::PortHolder& holder) {
    for (const char* name : kSuitePrograms)
        if (holder.program == name) return true;
    return false;
}

std::string ports_text(const std::vector<PortState>& ports) {
    if (ports.empty())
        return "no serial ports found (USB adapters show up as /dev/ttyUSB* or /dev/ttyACM* once plugged in)\n";
    std::string out;
    for (const PortState& s : ports) {
        const platform::SerialPortInfo& p = s.port;
        out += p.device;
        if (!p.vendorId.empty()) out += "  " + usb_line(p);
        out += "\n";
        for (const std::string& name : p.byId) out += "    " + name + "\n";
        out += indented(s.access_problem.empty() ? std::string("you may open it") : s.access_problem);
        out += "    " + (s.holder ? holder_text(*s.holder) : std::string("no program holds its lock")) + "\n";
    }
    return out;
}

std::string ports_json(const std::vector<PortState>& ports) {
    std::string out = "[";
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const PortState& s = ports[i];
        const platform::SerialPortInfo& p = s.port;
        out += i ? ",\n " : "\n ";
        out += "{\"device\": " + json_string(p.device) + ", \"by_id\": [";
        for (std::size_t k = 0; k < p.byId.size(); ++k) out += (k ? ", " : "") + json_string(p.byId[k]);
        out += "], \"usb\": ";
        if (p.vendorId.empty()) {
            out += "null";
        } else {
            out += "{\"vendor_id\": " + json_string(p.vendorId) + ", \"product_id\": " + json_string(p.productId) +
                   ", \"manufacturer\": " + json_string(p.manufacturer) + ", \"product\": " + json_string(p.product) +
                   ", \"serial\": " + json_string(p.serial) + "}";
        }
        out += ", \"may_open\": " + std::string(s.access_problem.empty() ? "true" : "false");
        out += ", \"access_problem\": " + (s.access_problem.empty() ? "null" : json_string(s.access_problem));
        out += ", \"held_by\": ";
        if (!s.holder) {
            out += "null";
        } else {
            out += "{\"pid\": " + std::to_string(s.holder->pid) + ", \"program\": " + json_string(s.holder->program) +
                   ", \"suite\": " + (held_by_suite(*s.holder) ? "true" : "false") + "}";
        }
        out += "}";
    }
    return out + (ports.empty() ? "]\n" : "\n]\n");
}

}  // namespace cli
