// The extcap answers. Each setting is one row; its values follow it.
#include "extcap/extcap_texts.h"

#include <iterator>
#include <string_view>
#include <vector>

#include "commands/layout_words.h"
#include "commands/port_options.h"
#include "pcapng/pcapng_live.h"
#include "pcbuffer/buffer_names.h"
#include "platform/port_name.h"
#include "session/analyzer_session.h"
#include "text/option_parser.h"

namespace cli::extcap {
namespace {

// What Wireshark shows for each word of --parity and --frame, in their order.
constexpr std::string_view kParityDisplays[] = {"None", "Odd", "Even"};
constexpr std::string_view kFrameDisplays[] = {"SDLC", "X.25 (LAPB modulo 8)", "X.25 modulo 128", "X.25 with UA",
                                               "LAPD (Q.931)"};
constexpr std::string_view kLinkTypeDisplays[] = {"LAPB tagged for Wireshark (252), LAPD (203)",
                                                  "LAPB on user link type 0 (147)", "Cisco HDLC (104)",
                                                  "Frame Relay (107)"};

constexpr std::size_t word_count(std::string_view words) {
    std::size_t n = 1;
    for (const char c : words) n += c == '|';
    return n;
}
static_assert(word_count(kParityWords) == std::size(kParityDisplays));
static_assert(word_count(kFrameWords) == std::size(kFrameDisplays));
static_assert(word_count(kLinkTypeWords) == std::size(kLinkTypeDisplays));

std::string arg(int number, std::string_view call, std::string_view display, std::string_view type,
                std::string_view extra, std::string_view tooltip) {
    std::string line = "arg {number=" + std::to_string(number) + "}{call=" + std::string(call) +
                       "}{display=" + std::string(display) + "}{type=" + std::string(type) + "}" + std::string(extra);
    return line + "{tooltip=" + std::string(tooltip) + "}\n";
}

std::string value(int number, std::string_view v, std::string_view display, bool is_default) {
    return "value {arg=" + std::to_string(number) + "}{value=" + std::string(v) + "}{display=" + std::string(display) +
           "}{default=" + (is_default ? "true" : "false") + "}\n";
}

// A selector's values: each word with its display; the one at `chosen` is the default.
std::string values(int number, const char* words, const std::string_view* displays, int chosen) {
    std::string out;
    const std::vector<std::string> list = choice_words(words);
    for (std::size_t k = 0; k < list.size(); ++k)
        out += value(number, list[k], displays[k], static_cast<int>(k) == chosen);
    return out;
}

}  // namespace

std::string interfaces_text() {
    return "extcap {version=1.0}{help=file:///usr/share/doc/zamvex/README.md}\n"
           "interface {value=" +
           std::string(kInterface) + "}{display=ZAMVEX-3 serial line analyzer (RV-7010/7020/7030)}\n";
}

// The link type follows the line mode the analyzer reports when the capture
// starts; Wireshark takes it from the capture's interface block.
std::string dlts_text() {
    return "dlt {number=252}{name=WIRESHARK_UPPER_PDU}{display=Analyzer frames (link type of the line mode)}\n";
}

std::string config_text(const std::vector<std::string>& ports) {
    std::string t;
    // Wireshark 4.0 knows no editable list: the port is typed, and the serial
    // devices found are the default (the first) and the tooltip.
    std::string found = "none found";
    for (const std::string& p : ports) found = (found == "none found" ? "" : found + ", ") + p;
    t += arg(0, "--port", "Port", "string", "{required=true}" + (ports.empty() ? "" : "{default=" + ports[0] + "}"),
             "The analyzer's serial port: COMn, a device path, or the path 'zamvex simulate' prints (serial devices: " +
                 found + ")");
    t += arg(1, "--speed", "Speed", "selector", "", "Baud rate of the analyzer's port, or auto to find it");
    // The defaults shown are the ones a capture takes when Wireshark leaves the option out.
    const int speed = PortChoice{}.speed;
    for (int s : platform::ListedSpeeds) t += value(1, std::to_string(s), std::to_string(s), s == speed);
    t += value(1, kAutoSpeed, "auto (try each, most common first)", false);
    t += arg(2, "--parity", "Parity", "selector", "", "Parity of the analyzer's port");
    t += values(2, kParityWords, kParityDisplays, PortChoice{}.parity);
    t += arg(3, "--frame", "HDLC frame protocol", "selector", "",
             "How frames of HDLC and NRZI lines are decoded (LAPD as link type 203, the others as LAPB)");
    t += values(3, kFrameWords, kFrameDisplays, pcapng::LiveOptions{}.frameProtocol);
    t += arg(4, "--folder", "Keep the PC buffer in", "string", "",
             "Also store the measurement as block files in this folder, as 'zamvex capture' does (empty: none)");
    const std::string limit = std::to_string(pcbuffer::kMaxBlocksLimit);
    t += arg(5, "--ring-blocks", "Ring blocks", "integer", "{range=0," + limit + "}{default=0}",
             "With a folder: keep only the newest N blocks (0: no ring; up to " + limit +
                 " blocks, then the measurement stops)");
    t += arg(6, "--link-type", "HDLC link type", "selector", "",
             "How frames of HDLC and NRZI lines are written: LAPB tagged for Wireshark's decoder (no setting needed), "
             "LAPB as user link type 147 for profiles whose DLT_USER table decodes it, or Cisco HDLC or Frame Relay");
    t += values(6, kLinkTypeWords, kLinkTypeDisplays, pcapng::LiveOptions{}.hdlcLink);
    return t;
}

}  // namespace cli::extcap
