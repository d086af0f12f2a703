// The screen request and where its picture goes.
#include "commands/screen_fetch.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/whole_file.h"
#include "text/messages.h"

namespace cli {
namespace {

// The width of the terminal on stdout, else $COLUMNS, else 0 (no limit: a
// file or a pipe gets every pixel).
int terminal_columns() {
    winsize size{};
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    const char* env = std::getenv("COLUMNS");
    const int columns = env ? std::atoi(env) : 0;
    return columns > 0 ? columns : 0;
}

}  // namespace

using namespace std::chrono_literals;

std::optional<Picture> fetch_screen(AnalyzerSession& s, std::string& error) {
    const int st = s.call(ReqGetScreen, 0, 30s);
    if (st != StatusDone) {
        error = "cannot fetch the screen (" + status_name(st == kNoNotification ? StatusNoAnswer : st) + ", status " +
                std::to_string(st) + ")";
        return std::nullopt;
    }
    const BitmapInfo* info = s.remote().GetScreenInfo();
    const void* bits = s.remote().GetScreenBits();
    Picture p = info ? picture_from_bitmap(*info, bits) : Picture{};
    if (p.width == 0) {
        error = "the analyzer sent no usable screen image";
        return std::nullopt;
    }
    return p;
}

std::optional<std::string> show_screen(const Picture& p, const std::string& png_path) {
    if (png_path.empty()) {
        const int columns = terminal_columns();
        std::fputs(text_art(p, columns).c_str(), stdout);
        if (const int k = text_scale(p.width, columns); k > 1)
            std::fprintf(stderr, "(%dx%d screen scaled to 1/%d to fit %d columns; --png keeps every pixel)\n", p.width,
                         p.height, k, columns);
        std::fflush(stdout);
        return std::nullopt;
    }
    if (auto s = platform::writeWholeFile(png_path, png_file(p)); !s.ok()) return s.message();
    return std::nullopt;
}

}  // namespace cli
