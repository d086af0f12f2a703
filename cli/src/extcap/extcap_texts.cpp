// The extcap answers. Each setting is one row; its values follow it.
#include "extcap/extcap_texts.h"

#include <iterator>
#include <string_view>

#include "pcapng/pcapng_live.h"
#include "platform/port_name.h"
#include "session/analyzer_session.h"

namespace cli::extcap {
namespace {

struct Value {
    std::string_view value, display;
};

constexpr Value kParities[] = {{"none", "None"}, {"odd", "Odd"}, {"even", "Even"}};
constexpr Value kFrames[] = {{"sdlc", "SDLC"},
                             {"x25", "X.25 (LAPB modulo 8)"},
                             {"x25x", "X.25 modulo 128"},
                             {"x25ua", "X.25 with UA"},
                             {"lapd", "LAPD (Q.931)"}};
static_assert(std::size(kFrames) == std::size(kFrameNames));

std::string arg(int number, std::string_view call, std::string_view display, std::string_view type,
                std::string_view extra, std::string_view tooltip) {
    std::string line = "arg {number=" + std::to_string(number) + "}{call=" + std::string(call) + "}{display=" +
                       std::string(display) + "}{type=" + std::string(type) + "}" + std::string(extra);
    return line + "{tooltip=" + std::string(tooltip) + "}\n";
}

std::string value(int number, std::string_view v, std::string_view display, bool isDefault) {
    return "value {arg=" + std::to_string(number) + "}{value=" + std::string(v) + "}{display=" +
           std::string(display) + "}{default=" + (isDefault ? "true" : "false") + "}\n";
}

}  // namespace

std::string interfaces_text() {
    return "extcap {version=1.0}{help=file:///usr/share/doc/zamvex/README.md}\n"
           "interface {value=" + std::string(kInterface) +
           "}{display=ZAMVEX-3 serial line analyzer (RV-7010/7020/7030)}\n";
}

// The link type follows the line mode the analyzer reports when the capture
// starts; Wireshark takes it from the capture's interface block.
std::string dlts_text() { return "dlt {number=147}{name=USER0}{display=Analyzer frames (link type of the line mode)}\n"; }

std::string config_text(const std::vector<std::string>& ports) {
    std::string t;
    // Wireshark 4.0 knows no editable list: the port is typed, and the serial
    // devices found are the default (the first) and the tooltip.
    std::string found = "none found";
    for (const std::string& p : ports) found = (found == "none found" ? "" : found + ", ") + p;
    t += arg(0, "--port", "Port", "string", "{required=true}" + (ports.empty() ? "" : "{default=" + ports[0] + "}"),
             "The analyzer's serial port: COMn, a device path, or the path 'zamvex simulate' prints (serial devices: " +
                 found + ")");
    t += arg(1, "--speed", "Speed", "selector", "", "Baud rate of the analyzer's port");
    // The defaults shown are the ones a capture takes when Wireshark leaves the option out.
    const int speed = PortChoice{}.speed;
    for (int s : platform::kListedSpeeds) t += value(1, std::to_string(s), std::to_string(s), s == speed);
    t += arg(2, "--parity", "Parity", "selector", "", "Parity of the analyzer's port");
    for (const Value& v : kParities) t += value(2, v.value, v.display, v.value == "none");
    t += arg(3, "--frame", "HDLC frame protocol", "selector", "",
             "How frames of HDLC and NRZI lines are decoded (LAPD as link type 203, the others as LAPB)");
    for (std::size_t k = 0; k < std::size(kFrames); ++k)
        t += value(3, kFrames[k].value, kFrames[k].display, static_cast<int>(k) == pcapng::LiveOptions{}.frameProtocol);
    t += arg(4, "--folder", "Keep the PC buffer in", "string", "",
             "Also store the measurement as block files in this folder, as 'zamvex capture' does (empty: none)");
    t += arg(5, "--ring-blocks", "Ring blocks", "integer", "{range=0,1024}{default=0}",
             "With a folder: keep only the newest N blocks (0: no ring; up to 1024 blocks, then the measurement stops)");
    return t;
}

}  // namespace cli::extcap
