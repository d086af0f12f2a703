// Names of the files in a PC buffer folder: "datainfo.mkw" and the numbered
// block files "%08d.mkw". Scans recognise them the way the buffer has always
// been read: the extension and the information file's name in any case, and
// any name that starts with a decimal number and a dot as a block.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace commlib {

inline constexpr char InfoFileName[] = "datainfo.mkw";
inline constexpr char BufferFileExtension[] = ".mkw";
inline constexpr int BlockBytes = 1'048'576;           // one full block file
inline constexpr int BlockNumberLimit = 100'000'000;   // block numbers run 0..99,999,999

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
// The block number of a name that starts with decimal digits followed by ".",
// such as "00000007.mkw" or "7.mkw"; none for other names and for numbers
// beyond the int range.
std::optional<int> BlockNumberOf(std::string_view name);

} // namespace commlib
