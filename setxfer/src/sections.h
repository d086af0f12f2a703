// One writer and one reader per setting section of the settings file. A writer
// appends the section's complete text; a reader consumes exactly the section's tokens,
// stores what it recognised and returns the section's message when it fails.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "setxfer/settings_file.h"
#include "token_reader.h"

namespace setxfer {

using Setup = std::span<std::uint8_t>;
using ConstSetup = std::span<const std::uint8_t>;
using SectionResult = std::optional<std::string_view>;  // the failure message, if any

using SectionWriter = void (*)(std::string& out, ConstSetup setup, Model model);
using SectionReader = SectionResult (*)(TokenReader& in, Setup setup, Model model);

#define SETXFER_SECTION(name)                                   \
    void write_##name(std::string& out, ConstSetup s, Model m); \
    SectionResult read_##name(TokenReader& in, Setup s, Model m);

SETXFER_SECTION(configuration)
SETXFER_SECTION(trigger)
SETXFER_SECTION(timer_counter)
SETXFER_SECTION(condition)
SETXFER_SECTION(auto_run)
SETXFER_SECTION(auto_config)
SETXFER_SECTION(delay_factor)
SETXFER_SECTION(trend_fact)
SETXFER_SECTION(beat)
SETXFER_SECTION(manual_factor)
SETXFER_SECTION(buffer_factor)
SETXFER_SECTION(flow_control)
SETXFER_SECTION(echo_back)
SETXFER_SECTION(multi_polling)

#undef SETXFER_SECTION

}  // namespace setxfer
