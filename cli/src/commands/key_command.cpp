// `zamvex key`: press front-panel keys from the PC, one after the other, with
// the panel's 250 ms pause after each and, when asked, its screen afterwards.
#include <chrono>
#include <cstdio>
#include <thread>

#include "commands/commands.h"
#include "commands/key_names.h"
#include "commands/port_options.h"
#include "commands/screen_fetch.h"
#include "platform/whole_file.h"

namespace cli {
namespace {

using namespace std::chrono_literals;

std::optional<std::vector<int>> codes_of(const std::vector<std::string>& words, std::string& error) {
    std::vector<int> codes;
    bool shift = false;
    for (const std::string& w : words) {
        if (same_word(w, "SHIFT")) {
            shift = true;
            continue;
        }
        const auto code = key_code(w);
        if (!code || (shift && *code >= KeyShifted)) {
            error = "unknown key '" + w + "'";
            return std::nullopt;
        }
        codes.push_back(*code + (shift ? KeyShifted : 0));
        shift = false;
    }
    if (shift) {
        error = "SHIFT must be followed by a key";
        return std::nullopt;
    }
    return codes;
}

int press_keys(AnalyzerSession& s, const std::vector<int>& codes, bool each_screen, const std::string& png) {
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const int code = codes[i];
        const bool last = i + 1 == codes.size();
        const int st = s.call(ReqKey, code, 10s);
        if (st != StatusDone) {
            s.disconnect();
            return fail(kKeyCommand,
                        "key " + std::to_string(code) + " was not sent (status " + std::to_string(st) + ")");
        }
        const std::string_view name = KeyName(code % KeyShifted);
        std::printf("key %s%s (%d) sent\n", code >= KeyShifted ? "SHIFT+" : "",
                    name.empty() ? std::to_string(code).c_str() : std::string(name).c_str(), code);
        std::fflush(stdout);
        std::this_thread::sleep_for(250ms);  // the analyzer redraws before its screen is read
        if (!each_screen && (png.empty() || !last)) continue;
        std::string error;
        const auto picture = fetch_screen(s, error);
        if (!picture) {
            s.disconnect();
            return fail(kKeyCommand, error);
        }
        if (auto e = show_screen(*picture, each_screen ? std::string() : png)) return fail(kKeyCommand, *e);
    }
    s.disconnect();
    return kExitDone;
}

int key_command(const CommandLine& line) {
    if (line.operands().empty()) throw UsageError("name at least one KEY");
    if (line.has("--screen") && line.has("--png")) throw UsageError("choose --screen or --png");
    std::string error;
    const auto codes = codes_of(line.operands(), error);
    if (!codes) throw UsageError(error);
    const PortChoice port = port_choice(line);
    // Keys change the analyzer: find out first whether the picture can be kept.
    if (line.has("--png"))
        if (auto s = platform::probeWritable(line.value("--png")); !s.ok()) return line.fail(s.message());
    AnalyzerSession s;
    if (auto e = s.open(port); !e.ok()) return line.fail(e.message());
    if (auto e = s.connect(false, false)) return line.fail(*e);
    return press_keys(s, *codes, line.has("--screen"), line.value("--png"));
}

}  // namespace

const Command kKeyCommand{
    .name = "key",
    .summary = "press keys of the analyzer's front panel",
    .synopsis = "--port [--screen | --png] KEY...",
    .description =
        "Presses the keys in order. KEY is a name (0..9, A..F, LEFT, RIGHT, UP, DOWN,\n"
        "ENTER, PAGEUP, PAGEDOWN, MENU, DISPLAY, TIME, HEX, DATA, TOP, BOTTOM, LOADSAVE,\n"
        "FIND, PRINT, RUN, STOP), a code (33, 0x21), SHIFT+KEY (code + 128), or SHIFT\n"
        "alone, which shifts the next key. Each key is followed by a 250 ms pause.\n",
    .options = with_port_options({
        {"--screen", nullptr, "draw the analyzer's screen after each key"},
        {"--png", "FILE", "write the screen after the last key as a PNG image", ValueKind::File},
    }),
    .run = run_with<key_command, kKeyCommand>,
};

}  // namespace cli
