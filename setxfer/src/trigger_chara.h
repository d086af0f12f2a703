// The CHARA factor of a trigger: eight SD and eight RD character cells (flag, value)
// and the three mask rows W0-W2 (mask, level), written as one block of lines.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "token_reader.h"

namespace setxfer {

// blk is one 58-byte trigger block.
void write_chara(std::string& out, std::span<const std::uint8_t> blk);
void read_chara(TokenReader& in, std::span<std::uint8_t> blk);

}  // namespace setxfer
