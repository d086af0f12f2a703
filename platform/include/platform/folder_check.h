// Checks on a folder before a measurement is stored into it: can a file be
// made there, and how much room is left.
//
// Errors: a Status naming the step that failed and the folder.
// Threads: any.
#pragma once
#include <cstdint>
#include <string>

#include "platform/status.h"

namespace platform {

// Makes a small probe file in the folder, writes a byte, and removes it again.
Status probeFolderWritable(const std::string& folder);

// Bytes an ordinary user may still write on the folder's file system; -1 when unknown.
std::int64_t freeBytes(const std::string& folder);

}  // namespace platform
