// `zamvex screen`: the analyzer's screen as a PNG image or as text art.
#include <cstdio>

#include "cli/commands.h"
#include "commands/port_options.h"
#include "commands/screen_fetch.h"
#include "platform/whole_file.h"

namespace cli {
namespace {

int screen_command(const std::vector<std::string>& args) {
    std::string error;
    const auto o = parse_options(args, kScreenCommand.options, error);
    if (!o) return fail("screen", error, 2);
    if (!o->positional.empty()) return fail("screen", "unexpected argument '" + o->positional[0] + "'", 2);
    if (o->has("--png") && o->has("--text")) return fail("screen", "choose --png or --text", 2);
    if (o->has("--png") && o->value("--png").empty()) return fail("screen", "--png needs a file name", 2);
    const auto port = port_choice(*o, error);
    if (!port) return fail("screen", error, 2);
    if (o->has("--png"))
        if (auto e = platform::probeWritable(o->value("--png")); !e.empty()) return fail("screen", e, 1);
    AnalyzerSession s;
    if (auto e = s.open(*port)) return fail("screen", *e, 1);
    if (auto e = s.connect(true, false)) return fail("screen", *e, 1);
    const auto picture = fetch_screen(s, error);
    s.disconnect();
    if (!picture) return fail("screen", error, 1);
    if (auto e = show_screen(*picture, o->value("--png"))) return fail("screen", *e, 1);
    if (o->has("--png"))
        std::printf("%dx%d screen written to %s\n", picture->width, picture->height, o->value("--png").c_str());
    return 0;
}

}  // namespace

const Command kScreenCommand{
    .name = "screen",
    .summary = "the analyzer's screen as a PNG image or as text",
    .synopsis = "--port P [--png FILE | --text]",
    .description =
        "Connects (packet mode is needed), fetches the analyzer's screen and writes it as\n"
        "a PNG image, or draws it in the terminal (the default).\n",
    .options = with_port_options({
        {"--png", "FILE", "write the screen as a PNG image", ValueKind::File},
        {"--text", nullptr, "draw the screen in the terminal (the default)"},
    }),
    .run = screen_command,
};

}  // namespace cli
