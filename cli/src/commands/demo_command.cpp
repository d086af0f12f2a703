// `zamvex demo`: the main job end to end against a simulated analyzer served
// in this process: a few seconds of HDLC X.25 traffic captured into a PC
// buffer, converted to the print format and to packet translation, and the
// analyzer's settings saved; then a short summary with the first lines of each.
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "commands/capture_job.h"
#include "commands/commands.h"
#include "commands/convert_job.h"
#include "commands/convert_options.h"
#include "commands/settings_job.h"
#include "simulator/pty_server.h"
#include "text/command_line.h"

namespace cli {
namespace {

constexpr const char* kRoot = "zamvex-demo";

// The first lines of a Shift_JIS, CR LF file, with other than printable ASCII shown as ".".
void show_head(const std::string& path, int lines) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    for (int n = 0; n < lines && std::getline(in, line); ++n) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        for (char& c : line)
            if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) c = '.';
        std::printf("    | %s\n", line.c_str());
    }
}

bool convert_step(const char* title, const ConvertOptions& options, const std::string& prefix) {
    ConvertJob job;
    job.input = std::string(kRoot) + "/buffer";
    job.out = std::string(kRoot) + "/text";
    job.options = options;
    job.prefix = prefix;
    const ConvertResult r = run_convert(job);
    if (r.exit_code != kExitDone) {
        fail(kDemoCommand, std::string(title) + ": " + r.status.message());
        return false;
    }
    std::printf("\n%s: %zu file%s, %s first:\n", title, r.files.size(), r.files.size() == 1 ? "" : "s",
                r.files.empty() ? "(none)" : r.files.front().c_str());
    if (!r.files.empty()) show_head(r.files.front(), 20);
    return true;
}

int run_demo(const std::string& device, double seconds) {
    CaptureJob capture;
    capture.port.port = device;
    capture.folder = std::string(kRoot) + "/buffer";
    capture.max_blocks = 10;
    capture.seconds = seconds;
    capture.force = true;  // the demo's own folder from an earlier run
    const CaptureResult c = run_capture(capture);
    if (c.exit_code != kExitDone) return fail(kDemoCommand, "capture: " + c.error.message());
    std::printf("capture: %s, %d block file%s in %s (stopped by %s, %d data losses)\n", c.analyzer.c_str(), c.count,
                c.count == 1 ? "" : "s", capture.folder.c_str(), c.ended_by.c_str(), c.losses);

    ConvertOptions print = default_convert_options();
    if (!convert_step("print format", print, "print_")) return kExitFailed;
    ConvertOptions x25 = default_convert_options();
    x25.PrintFormat = PrintFormatTranslate;
    x25.TranslateFrame = FrameX25;
    x25.TranslatePacket = PacketX25;
    if (!convert_step("X.25 packet translation", x25, "x25_")) return kExitFailed;

    SettingsJob settings;
    settings.port.port = device;
    settings.file = std::string(kRoot) + "/settings.txt";
    settings.force = true;
    const SettingsResult s = save_settings(settings);
    if (s.exit_code != kExitDone) return fail(kDemoCommand, "settings: " + s.error);
    std::printf("\nsettings: %s settings saved to %s (%zu bytes), first lines:\n", s.model.c_str(),
                settings.file.c_str(), s.bytes);
    show_head(settings.file, 8);
    return kExitDone;
}

int demo_command(const CommandLine& line) {
    line.no_operands();
    const auto seconds = parse_number(line.value("--seconds", "3"), 1, 30);
    if (!seconds) throw UsageError("bad value for --seconds (1..30)");

    std::error_code ec;
    std::filesystem::remove_all(std::string(kRoot) + "/buffer", ec);
    std::filesystem::remove_all(std::string(kRoot) + "/text", ec);
    simulator::AnalyzerOptions analyzer;
    analyzer.seed = 2026;
    analyzer.line_mode = simulator::LineMode::Hdlc;
    analyzer.protocol = simulator::FrameProtocol::X25Mod8;
    analyzer.records_per_second = 4000;
    try {
        simulator::PtyServer server(analyzer);
        std::atomic<bool> stop{false};
        std::thread serving([&] { server.run(stop); });
        std::printf("zamvex demo: simulated %s on %s\n\n", simulator::model_name(analyzer.model),
                    server.slave_path().c_str());
        const int code = run_demo(server.slave_path(), static_cast<double>(*seconds));
        stop = true;
        serving.join();
        if (code == kExitDone) std::printf("\nzamvex demo: done; everything is in ./%s\n", kRoot);
        return code;
    } catch (const std::exception& e) {
        return fail(kDemoCommand, e.what());
    }
}

}  // namespace

const Command kDemoCommand{
    .name = "demo",
    .summary = "capture, convert and save settings against a built-in simulator",
    .synopsis = "[--seconds]",
    .description =
        "Serves a simulated RV-7020 in this process, captures S seconds (default 3) of\n"
        "HDLC X.25 traffic into ./zamvex-demo/buffer, converts it to the print format and\n"
        "to X.25 packet translation in ./zamvex-demo/text, saves the analyzer's settings to\n"
        "./zamvex-demo/settings.txt, and shows the first lines of each.\n",
    .options =
        {
            {"--seconds", "S", "seconds to capture, 1..30 (default 3)"},
        },
    .run = run_with<demo_command, kDemoCommand>,
};

}  // namespace cli
