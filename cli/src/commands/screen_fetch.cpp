// The screen request and where its picture goes.
#include "commands/screen_fetch.h"

#include <cstdio>

#include "platform/whole_file.h"
#include "text/messages.h"

namespace cli {

using namespace std::chrono_literals;

std::optional<Picture> fetch_screen(AnalyzerSession& s, std::string& error) {
    const int st = s.call(ReqGetScreen, 0, 30s);
    if (st != StatusDone) {
        error = "cannot fetch the screen (" + status_name(st == kNoNotification ? StatusNoAnswer : st) +
                ", status " + std::to_string(st) + ")";
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
        std::fputs(text_art(p).c_str(), stdout);
        std::fflush(stdout);
        return std::nullopt;
    }
    if (auto e = platform::writeWholeFile(png_path, png_file(p)); !e.empty()) return e;
    return std::nullopt;
}

}  // namespace cli
