// Whole-file reading and writing for the data sets' Save and Load: a bounded
// read that never allocates more than the caller's limit, and an all-or-nothing
// write that reports any short write or failed close.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace commlib {

// Reads the file's first `limit` bytes at most into out (fewer when the file is
// shorter). False when the file cannot be opened or a read fails.
bool ReadFilePrefix(const char* path, std::size_t limit, std::vector<std::uint8_t>& out);

// Creates (or replaces) the file and writes the parts one after the other.
// True only when every byte was written and the file closed cleanly.
bool WriteFileParts(const char* path, std::initializer_list<std::span<const std::uint8_t>> parts);

}  // namespace commlib
