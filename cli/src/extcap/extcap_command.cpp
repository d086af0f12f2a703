// zamvex-extcap: the analyzer as a Wireshark capture interface (extcap
// protocol of Wireshark 4.0). Wireshark asks for the interface, its link type
// and its settings, then runs a capture that writes pcapng into a fifo.
#include "cli/extcap.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <thread>

#include "commands/layout_words.h"
#include "commands/live_job.h"
#include "commands/port_options.h"
#include "extcap/extcap_texts.h"
#include "pcapng/pcapng_live.h"
#include "pcbuffer/buffer_names.h"
#include "platform/port_name.h"
#include "platform/serial_ports.h"
#include "session/interrupt.h"
#include "text/command.h"

namespace cli {
namespace {

using namespace std::chrono_literals;

constexpr const char* kUsage =
    "usage: zamvex-extcap --extcap-interfaces | --extcap-interface zamvex --extcap-dlts |\n"
    "       --extcap-interface zamvex --extcap-config |\n"
    "       --extcap-interface zamvex --capture --fifo PATH|- --port P [options]\n"
    "\n"
    "Wireshark runs this program from its extcap folder: the analyzer appears as the\n"
    "capture interface 'zamvex', and a capture writes the frames of a measurement as\n"
    "pcapng packets while the analyzer measures, as 'zamvex export' writes them.\n"
    "\n";

// The options Wireshark passes (those without a help text are Wireshark's own,
// some of them change nothing here), then the port group.
const std::vector<OptionSpec>& specs() {
    static const std::vector<OptionSpec> kList = with_port_options(
        {{"--extcap-interfaces", nullptr},
         {"--extcap-version", "V"},
         {"--extcap-interface", "NAME"},
         {"--extcap-dlts", nullptr},
         {"--extcap-config", nullptr},
         {"--capture", nullptr},
         {"--fifo", "PATH", "the fifo Wireshark reads, or - for stdout"},
         {"--extcap-capture-filter", "F"},
         {"--extcap-control-in", "PATH"},
         {"--extcap-control-out", "PATH"},
         {"--extcap-reload-option", "O"},
         {"--debug", nullptr},
         {"--debug-file", "PATH"},
         choice_option("--frame", kFrameWords, "frames of HDLC/NRZI lines", pcapng::LiveOptions{}.frameProtocol),
         {"--folder", "DIR", "also keep the PC buffer in DIR"},
         {"--ring-blocks", "N",
          kept_text("with --folder: keep the newest N blocks (0: no ring, up to " +
                    std::to_string(pcbuffer::kMaxBlocksLimit) + ")")},
         choice_option("--link-type", kLinkTypeWords, "link type of HDLC/NRZI lines", pcapng::LiveOptions{}.hdlcLink)});
    return kList;
}

extern "C" void on_broken_fifo(int) { request_interrupt(); }

// The stream "-" names.
constexpr char kStdout[] = "-";

// Opens the fifo for writing once Wireshark has its reading end open; null
// after 10 s without a reader or on a stop. "-" is stdout.
std::FILE* open_fifo(const std::string& path, std::string& error) {
    if (path == kStdout) return stdout;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    for (;;) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            if (std::FILE* f = ::fdopen(fd, "wb")) return f;
            ::close(fd);
        }
        if (fd >= 0 || errno != ENXIO || interrupted() || std::chrono::steady_clock::now() > deadline) {
            error = "cannot open the fifo '" + path + "': " + std::strerror(errno != ENXIO ? errno : ETIMEDOUT);
            return nullptr;
        }
        std::this_thread::sleep_for(20ms);
    }
}

// An error before (or instead of) the capture: Wireshark waits for the fifo
// to open, so it is opened and closed first, then one line says why.
int fail_capture(const std::string& fifo, std::FILE* stream, std::string text) {
    if (stream == nullptr && !fifo.empty()) {
        std::string ignored;
        stream = open_fifo(fifo, ignored);
    }
    if (stream != nullptr) std::fclose(stream);
    for (char& c : text)
        if (c == '\n') c = ' ';
    std::fprintf(stderr, "zamvex-extcap: %s\n", text.c_str());
    return kExitFailed;
}

// The fifo's path from the words, for errors found before the options were read.
std::string fifo_in(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--fifo" && i + 1 < args.size()) return args[i + 1];
        if (args[i].rfind("--fifo=", 0) == 0) return args[i].substr(7);
    }
    return "";
}

// The capture settings; empty error when they are usable.
CaptureJob capture_job(const ParsedOptions& o, pcapng::LiveOptions& live, std::string& error) {
    CaptureJob job;
    if (const auto port = port_choice(o, error)) job.port = *port;
    else return job;
    // Wireshark leaves out a selector left at its default: then LiveOptions' own holds.
    if (const auto frame = choice_value(o, *find_option(specs(), "--frame"), live.frameProtocol, error))
        live.frameProtocol = static_cast<pcapng::FrameProtocol>(*frame);
    if (const auto link = choice_value(o, *find_option(specs(), "--link-type"), live.hdlcLink, error))
        live.hdlcLink = static_cast<pcapng::HdlcLink>(*link);
    job.folder = o.value("--folder");
    const auto ring = parse_number(o.value("--ring-blocks", "0"), 0, pcbuffer::kMaxBlocksLimit);
    if (!ring) error = "bad value for --ring-blocks (0.." + std::to_string(pcbuffer::kMaxBlocksLimit) + ")";
    else if (*ring > 0) {
        job.ring = true;
        job.max_blocks = static_cast<int>(*ring);
    } else {
        job.max_blocks = pcbuffer::kMaxBlocksLimit;
    }
    job.force = true;  // a capture interface is started again and again on the same folder
    return job;
}

int capture(const ParsedOptions& o) {
    const std::string path = o.value("--fifo");
    if (path.empty()) return fail_capture("", nullptr, "--capture needs --fifo PATH");
    catch_interrupts();
    // Wireshark stops a capture with SIGTERM; a fifo it closed shows as SIGPIPE or EPIPE.
    std::signal(SIGPIPE, on_broken_fifo);
    // A file size limit on the kept buffer must end storing with a message, not the process.
    std::signal(SIGXFSZ, SIG_IGN);
    std::string error;
    std::FILE* fifo = open_fifo(path, error);
    if (fifo == nullptr) return fail_capture("", nullptr, error);
    pcapng::LiveOptions live;
    const CaptureJob job = capture_job(o, live, error);
    if (!error.empty()) return fail_capture(path, fifo, error);
    const LiveResult r = run_live(job, [live, fifo](textlib::LiveRecords& records) {
        pcapng::ExportSummary summary;
        return pcapng::StreamPcapng(records, live, fifo, summary);
    });
    if (r.capture.exit_code != kExitDone) return fail_capture(path, fifo, r.capture.error.message());
    // A reader stuck on a fifo nobody reads any more keeps the stream; the process ends all the same.
    if (r.output.ok()) std::fclose(fifo);
    return kExitDone;
}

}  // namespace

int extcap_command(const std::vector<std::string>& args) {
    std::string error;
    const auto o = parse_options(args, specs(), error);
    if (!o) {
        if (std::find(args.begin(), args.end(), "--capture") != args.end())
            return fail_capture(fifo_in(args), nullptr, error);
        std::fprintf(stderr, "zamvex-extcap: %s\n", error.c_str());
        return kExitUsage;
    }
    if (o->help) {
        std::fputs((kUsage + option_rows(specs())).c_str(), stdout);
        return kExitDone;
    }
    if (o->has("--extcap-interfaces")) {
        std::fputs(extcap::interfaces_text().c_str(), stdout);
        return kExitDone;
    }
    const std::string iface = o->value("--extcap-interface");
    if (iface != extcap::kInterface) {
        if (o->has("--capture")) return fail_capture(o->value("--fifo"), nullptr, "no interface '" + iface + "'");
        std::fprintf(stderr, "zamvex-extcap: no interface '%s' (see --extcap-interfaces)\n", iface.c_str());
        return kExitUsage;
    }
    if (o->has("--extcap-dlts")) {
        std::fputs(extcap::dlts_text().c_str(), stdout);
        return kExitDone;
    }
    if (o->has("--extcap-config")) {
        std::fputs(extcap::config_text(platform::serialPortNames(platform::scanSerialPorts())).c_str(), stdout);
        return kExitDone;
    }
    if (o->has("--capture")) return capture(*o);
    std::fprintf(stderr, "zamvex-extcap: nothing to do (see --help)\n");
    return kExitUsage;
}

}  // namespace cli
