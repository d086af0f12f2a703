// `zamvex screen`: the analyzer's screen as a PNG image or as text art.
#include <cstdio>

#include "cli/commands.h"
#include "commands/port_options.h"
#include "commands/screen_fetch.h"
#include "platform/whole_file.h"

namespace cli {
namespace {

constexpr const char* kHelp =
    "usage: zamvex screen --port P [--png FILE | --text]\n"
    "\n"
    "Connects (packet mode is needed), fetches the analyzer's screen and writes it as\n"
    "a PNG image, or draws it in the terminal (the default).\n";

}  // namespace

int screen_command(const std::vector<std::string>& args) {
    std::vector<OptionSpec> specs = {{"--png", true}, {"--text", false}};
    add_port_specs(specs);
    std::string error;
    const auto o = parse_options(args, specs, error);
    if (o && o->help) {
        std::fputs(kHelp, stdout);
        std::fputs(kPortHelp, stdout);
        return 0;
    }
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

}  // namespace cli
