// The few file operations of the settings tool's dialogs, kept apart so the
// flows read as rules.
//
// Errors: false, or the system's reason, when an operation failed.
// Threads: the GUI thread.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace setxfer::files {

bool exists(const std::string& path);
// True when the file name (not the folder) has a dot followed by something.
bool has_extension(const std::string& path);
// Creates or replaces the file whole (temporary name, flushed to disk, renamed);
// empty on success, else one line naming the path and the system's reason.
std::string write_whole(const std::string& path, std::string_view bytes);
// At most limit bytes; nullopt when the file cannot be opened.
std::optional<std::string> read_at_most(const std::string& path, std::size_t limit);
std::string current_folder();

}  // namespace setxfer::files
