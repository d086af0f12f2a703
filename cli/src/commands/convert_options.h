// Every field of ConvertOptions as a readable option of `zamvex convert`, with
// capstore's stored-setting defaults where an option is not given.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "text/option_parser.h"
#include "textlib/text_convert.h"

namespace cli {

// The conversion options in --help order, with their groups.
std::vector<OptionSpec> convert_option_specs();

// capstore's defaults with no stored settings (SavePath empty).
ConvertOptions default_convert_options();

// Applies the given options over the defaults; nullopt with the reason in `error`.
std::optional<ConvertOptions> convert_options_from(const ParsedOptions& parsed, std::string& error);

// The reason to refuse an option that the chosen layout would not read
// ("--no-time-stamps does nothing with --print translate; ..."); empty when all are used.
std::string unused_option(const ParsedOptions& parsed, const ConvertOptions& options);

}  // namespace cli
