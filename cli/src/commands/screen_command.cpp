// `zamvex screen`: the analyzer's screen as a PNG image or as text art.
#include <cstdio>

#include "commands/commands.h"
#include "commands/port_options.h"
#include "commands/screen_fetch.h"
#include "platform/whole_file.h"

namespace cli {
namespace {

int screen_command(const CommandLine& line) {
    line.no_operands();
    const bool png = line.has("--png");
    if (png && line.has("--text")) throw UsageError("choose --png or --text");
    if (png && line.value("--png").empty()) throw UsageError("--png needs a file name");
    const PortChoice port = port_choice(line);
    if (png)
        if (auto s = platform::probeWritable(line.value("--png")); !s.ok()) return line.fail(s.message());
    AnalyzerSession s;
    if (auto e = s.open(port); !e.ok()) return line.fail(e.message());
    if (auto e = s.connect(true, false)) return line.fail(*e);
    std::string error;
    const auto picture = fetch_screen(s, error);
    s.disconnect();
    if (!picture) return line.fail(error);
    if (auto e = show_screen(*picture, line.value("--png"))) return line.fail(*e);
    if (png) std::printf("%dx%d screen written to %s\n", picture->width, picture->height, line.value("--png").c_str());
    return kExitDone;
}

}  // namespace

const Command kScreenCommand{
    .name = "screen",
    .summary = "the analyzer's screen as a PNG image or as text",
    .synopsis = "--port [--png | --text]",
    .description =
        "Connects (packet mode is needed), fetches the analyzer's screen and writes it as\n"
        "a PNG image, or draws it in the terminal (the default).\n",
    .options = with_port_options({
        {"--png", "FILE", "write the screen as a PNG image", ValueKind::File},
        {"--text", nullptr, "draw the screen in the terminal (the default)"},
    }),
    .run = run_with<screen_command, kScreenCommand>,
};

}  // namespace cli
