// Fetching the analyzer's screen (packet mode only) and handing it out as a
// picture, a PNG file or text art.
#pragma once
#include <optional>
#include <string>

#include "commands/screen_picture.h"
#include "session/analyzer_session.h"

namespace cli {

// ReqGetScreen; the picture, or the error text in `error`.
std::optional<Picture> fetch_screen(AnalyzerSession& s, std::string& error);

// Writes the picture as PNG to `png_path`, or prints it as text art when the path is empty.
std::optional<std::string> show_screen(const Picture& p, const std::string& png_path);

}  // namespace cli
