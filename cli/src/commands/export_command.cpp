// `zamvex export`: the frames of a PC buffer (or one data file) as a pcapng
// file for Wireshark, with a summary of directions, errors and lost data.
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "commands/buffer_input.h"
#include "commands/commands.h"
#include "commands/layout_words.h"
#include "pcapng/pcapng_export.h"
#include "pcbuffer/buffer_names.h"
#include "text/command_line.h"
#include "textlib/frame.h"

namespace cli {
namespace {

// Fills the export options from the command line; UsageError for a mistake.
void read_options(const CommandLine& line, pcapng::ExportOptions& o) {
    const ParsedOptions& p = line.options();
    o.buffer = p.positional[0];
    o.output = p.has("--pcapng") ? p.value("--pcapng") : beside_buffer(o.buffer, ".pcapng");
    if (o.output.empty()) throw UsageError("--pcapng needs a file");
    for (auto [name, field] : {std::pair{"--start", &o.start}, std::pair{"--blocks", &o.blocks}}) {
        if (!p.has(name)) continue;
        auto n = parse_number(p.value(name), 1, pcbuffer::kBlockNumberLimit);
        if (!n) throw UsageError(std::string("bad value for ") + name + ": '" + p.value(name) + "'");
        *field = static_cast<int>(*n);
    }
    o.line = line.choice("--line", o.line);
    o.frameProtocol = static_cast<pcapng::FrameProtocol>(line.choice("--frame", o.frameProtocol));
    o.hdlcLink = static_cast<pcapng::HdlcLink>(line.choice("--link-type", o.hdlcLink));
    if (p.has("--date") && !(o.midnight = pcapng::MidnightOf(p.value("--date"))))
        throw UsageError("bad value for --date: '" + p.value("--date") + "' (YYYY-MM-DD)");
}

void print_summary(const pcapng::ExportOptions& o, const pcapng::ExportSummary& s) {
    std::printf("%lld frame%s written to %s (link type %u)\n", static_cast<long long>(s.frames),
                s.frames == 1 ? "" : "s", o.output.c_str(), static_cast<unsigned>(s.linkType));
    std::printf("  SD %lld, RD %lld, no direction %lld\n", static_cast<long long>(s.sd), static_cast<long long>(s.rd),
                static_cast<long long>(s.undecided));
    std::printf("  errors: %lld bad FCS, %lld short, %lld aborted or broken\n", static_cast<long long>(s.fcsErrors),
                static_cast<long long>(s.shortFrames), static_cast<long long>(s.aborts));
    std::printf("  lost data: %lld mark%s\n", static_cast<long long>(s.lostMarks), s.lostMarks == 1 ? "" : "s");
    if (s.cutFrames > 0)
        std::printf("  longer than %d cells: %lld, written as their first cells and marked cut short\n",
                    textlib::kMaxFrameCells, static_cast<long long>(s.cutFrames));
    std::printf("  times: %s\n",
                s.onMeasurementDate ? "time of day on the measurement's date" : "seconds from the first time stamp");
}

int export_command(const CommandLine& line) {
    if (line.operands().size() != 1) throw UsageError("name one buffer folder or data file");
    pcapng::ExportOptions o;
    read_options(line, o);
    std::string error;
    const auto input = choose_input(o.buffer, o.start, o.blocks, line.has("--blocks"), error);
    if (!input) return line.fail(error);
    const std::string& note = input->note;
    // The file it names by itself replaces nothing unasked.
    if (std::error_code ec; !line.has("--pcapng") && !line.has("--force") && std::filesystem::exists(o.output, ec))
        return line.fail("'" + o.output + "' exists: add --force to replace it, or name another file with --pcapng");
    const bool tty = ::isatty(STDERR_FILENO) != 0;
    pcapng::ExportSummary s;
    const platform::Status exported = pcapng::ExportPcapng(o, s, [tty](int done, int total) {
        if (tty) std::fprintf(stderr, "\rblock %d of %d", done, total);
    });
    if (tty) std::fputs("\r\033[K", stderr);
    if (!exported.ok()) return line.fail(exported.message());
    print_summary(o, s);
    if (!note.empty()) std::printf("%s\n", note.c_str());
    return kExitDone;
}

}  // namespace

const Command kExportCommand{
    .name = "export",
    .summary = "export a PC buffer's frames to a pcapng file for Wireshark",
    .synopsis = "BUFFER [--pcapng] [options]",
    .description =
        kept_text("Writes the frames of a PC buffer folder (or one single data file) to a pcapng file\n"
                  "that Wireshark and tshark read: one packet per frame, SD outbound, RD inbound,\n"
                  "frames with a bad FCS, an abort or a short end flagged, lost data as a packet\n"
                  "comment. HDLC and NRZI lines go out as LAPD (link type 203) for --frame lapd,\n"
                  "otherwise as LAPB behind tags that name Wireshark's LAPB decoder (link type\n"
                  "WIRESHARK_UPPER_PDU, 252; no Wireshark setting needed), or on user link type 147\n"
                  "with --link-type user0; --link-type chdlc and frelay write them as Cisco HDLC\n"
                  "(104) and Frame Relay (107). PPP as PPP_WITH_DIR (204); ASYNC and SYNC frames as\n"
                  "raw characters on user link type 148. Without --blocks it takes every block from\n"
                  "--start on, at most " +
                  std::to_string(pcbuffer::kMaxBlocksLimit) +
                  ", and says when blocks were left out. Without --pcapng the\n"
                  "file is BUFFER.pcapng beside the buffer; one that exists is only replaced with --force.\n"),
    .options =
        {
            {"--pcapng", "FILE",
             "the capture file to write, replaced if it exists\n"
             "(default: BUFFER.pcapng beside the buffer)",
             ValueKind::File},
            {"--force", nullptr, "replace BUFFER.pcapng when it exists"},
            {"--start", "N", "first block, 1 = the oldest (default 1)"},
            {"--blocks", "N",
             kept_text("number of blocks (default: to the end, at most " + std::to_string(pcbuffer::kMaxBlocksLimit) +
                       ")")},
            choice_option("--line", kLineWords, "directions to export", pcapng::ExportOptions{}.line),
            choice_option("--frame", kFrameWords, "frames of HDLC/NRZI lines", pcapng::ExportOptions{}.frameProtocol),
            choice_option("--link-type", kLinkTypeWords, "link type of HDLC/NRZI lines",
                          pcapng::ExportOptions{}.hdlcLink),
            {"--date", "YYYY-MM-DD",
             "the measurement's date (default: the day the buffer's\n"
             "datainfo.mkw was written; a data file's times start at 0)"},
        },
    .run = run_with<export_command, kExportCommand>,
    .operands = ValueKind::File,
};

}  // namespace cli
