// The checks behind the PC buffer dialog's OK: the typed location made into a
// full path, the root refusal, the max-block range, and what exists on disk.
// Plain file-system code, no windows, so each rule can be tried on its own.
#pragma once
#include <optional>
#include <string>

namespace commlib::ui {

inline constexpr std::size_t PathLimit = 259;

// The typed text as an absolute path: relative to the current folder, "." and
// ".." resolved, no doubled or trailing slash. Nothing when the text is empty,
// the current folder is unknown, or the result is longer than 259 characters.
std::optional<std::string> FullFolderPath(const std::string& typed);

// "/" is no place for a buffer.
bool IsRootFolder(const std::string& full);

// The max-block field: a decimal number from 1 to pcbuffer::kMaxBlocksLimit, digits
// only.
std::optional<int> ParseMaxBlocks(const std::string& text);

enum class FolderState {
    Folder,      // exists and is a folder
    Missing,     // does not exist; the nearest existing ancestor is a folder
    NotAFolder,  // it, or its nearest existing ancestor, is something else
};
FolderState InspectFolder(const std::string& full);

// Makes every missing folder of the chain, outermost first; false when one
// cannot be made (those made before it stay).
bool MakeFolderChain(const std::string& full);

}  // namespace commlib::ui
