// The program data set as a listing: one line per step "PRnnn:NAME ..." for the 512
// steps, ending with "EN ".
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "setxfer/settings_file.h"
#include "token_reader.h"

namespace setxfer {

// program: ProgramSize bytes.
void write_program(std::string& out, std::span<const std::uint8_t> program);
std::optional<Failure> read_program(TokenReader& in, std::span<std::uint8_t> program);

}  // namespace setxfer
