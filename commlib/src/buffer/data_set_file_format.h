// The 20-byte header that opens every data-set file (the PC buffer's
// "datainfo.mkw" included): a 16-character magic padded with spaces and the
// model code of the analyzer that supplied the data, little endian.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "pcbuffer/buffer_names.h"

namespace commlib {

inline constexpr std::size_t MagicSize = 16;
inline constexpr std::size_t DataSetHeaderSize = 20;

// The magics, exactly 16 characters each (the terminating zero is not written).
inline constexpr char MagicSetup[] = "MIRLOKE SETUP   ";
inline constexpr char MagicTable[] = "MIRLOKE TABLE   ";  // table and third table alike
inline constexpr char MagicProgram[] = "MIRLOKE PROGRAM ";
inline constexpr char MagicBitmap[] = "MIRLOKE BITMAP  ";
static_assert(sizeof(MagicSetup) == MagicSize + 1 && sizeof(MagicTable) == MagicSize + 1 &&
              sizeof(MagicProgram) == MagicSize + 1 && sizeof(pcbuffer::kInfoMagic) == MagicSize + 1 &&
              sizeof(MagicBitmap) == MagicSize + 1);
static_assert(DataSetHeaderSize == pcbuffer::kInfoHeaderSize && MagicSize == pcbuffer::kInfoMagicSize);

// The header as a data set keeps it in memory.
struct DataSetHeader {
    std::array<char, MagicSize> magic;
    std::int32_t model;
};

// The header's 20 bytes as they go into a file.
std::array<std::uint8_t, DataSetHeaderSize> EncodeHeader(const DataSetHeader& header);
// True when the first 16 of the given bytes are the magic (the model code is
// not looked at: files from any analyzer load). Fewer than 16 bytes never match.
bool MagicMatches(std::span<const std::uint8_t> bytes, const char* magic);
// A header for the magic (16 characters) and model code.
DataSetHeader MakeHeader(const char* magic, std::int32_t model);

}  // namespace commlib
