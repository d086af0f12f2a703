// Checks on a folder before a measurement is stored into it: can a file be
// made there, and how much room is left.
//
// Errors: the errno of the call that failed, or 0.
// Threads: any.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

// Makes a small probe file in the folder, writes a byte, and removes it again.
// 0 when all of that worked, else the errno of the call that failed.
int probeFolderWritable(const std::string& folder);

// Bytes an ordinary user may still write on the folder's file system; -1 when unknown.
std::int64_t freeBytes(const std::string& folder);

}  // namespace platform
