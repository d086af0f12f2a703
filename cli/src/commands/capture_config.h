// The settings file of a capture service (/etc/zamvex/capture/<instance>.conf
// for zamvex-capture@.service): lines of "name = value", '#' starting a
// comment, blank lines ignored. The names are those of capture's options
// without their dashes, and only these: speed, parity, folder, max-blocks,
// ring (yes or no), keep-free. Each setting is checked as its option would be,
// so a mistake stops the command naming the file, the line and the setting,
// and nothing is ever measured with other settings than the file says.
//
// Errors: the text "FILE:LINE: ..." of the first mistake.
// Threads: any; pure but for the check given.
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "text/option_parser.h"

namespace cli {

// Checks one setting, given as the options it stands for; "" when it is good.
using SettingCheck = std::function<std::string(const ParsedOptions&)>;

// Adds the settings of `text` (the file at `path`) to `options` where the
// command line did not give the option; the error text, or nullopt.
std::optional<std::string> apply_capture_settings(const std::string& path, const std::string& text,
                                                  ParsedOptions& options, const SettingCheck& check);

}  // namespace cli
