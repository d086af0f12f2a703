// The files of a PC buffer folder: the information file "datainfo.mkw" and
// the numbered block files "%08d.mkw". Scans recognise them the way the
// buffer has always been read: the extension and the information file's name
// in any case, and any name that starts with a decimal number and a dot as a
// block.
//
// Errors: none; names that are not the buffer's give false or nullopt.
// Threads: any; pure.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace pcbuffer {

inline constexpr char kInfoFileName[] = "datainfo.mkw";
inline constexpr char kBufferFileExtension[] = ".mkw";
inline constexpr int kBlockBytes = 1'048'576;          // one full block file
inline constexpr int kRecordBytes = 4;                 // one record word, little endian
inline constexpr int kBlockNumberLimit = 100'000'000;  // block numbers run 0..99,999,999
// The most blocks a folder keeps (a capture's MaxBlocks, its ring too) and one
// conversion, export or statistics job reads; and what a capture keeps unless
// told otherwise.
inline constexpr int kMaxBlocksLimit = 1024;
inline constexpr int kDefaultMaxBlocks = 10;

// The information file: a 20-byte header that starts with the 16-character
// magic (the model code follows), then the 2038-byte measurement information
// body. A single data file is such a body followed by record words.
inline constexpr char kInfoMagic[] = "MIRLOKE DATAINFO";
inline constexpr int kInfoMagicSize = 16;
inline constexpr int kInfoHeaderSize = 20;
inline constexpr int kInfoBodySize = 2038;  // also the analyzer's measurement-information data set
static_assert(sizeof kInfoMagic == kInfoMagicSize + 1);

// "00000042.mkw"; the number must be 0..99,999,999.
std::string BlockFileName(int number);
// folder + "/" + name
std::string BufferFilePath(const std::string& folder, std::string_view name);
std::string BlockFilePath(const std::string& folder, int number);
std::string InfoFilePath(const std::string& folder);

// Matches the enumeration pattern "*.mkw" (extension in any case).
bool IsBufferFileName(std::string_view name);
// "datainfo.mkw" in any case.
bool IsInfoFileName(std::string_view name);
// A block file name exactly as the capture writer makes it ("00000042.mkw":
// eight digits, lower-case extension).
bool IsWrittenBlockName(std::string_view name);
// The block number of a name that starts with decimal digits followed by ".",
// such as "00000007.mkw" or "7.mkw"; none for other names and for numbers
// beyond the int range.
std::optional<int> BlockNumberOf(std::string_view name);

}  // namespace pcbuffer
