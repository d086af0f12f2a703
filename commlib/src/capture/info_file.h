// "datainfo.mkw" as the capture writer saves it: the 20-byte header and the
// 2038-byte body, written whole through platform::WholeFile (a temporary
// name, flushed to the disk and renamed over the old file), so that a crash
// or a full disk never leaves a cut one.
#pragma once
#include <string>

#include "platform/status.h"

namespace commlib {
class DataSet;
}  // namespace commlib

namespace commlib::capture {

// The temporary name beside the folder's "datainfo.mkw" (not a "*.mkw" name).
std::string InfoFileTempPath(const std::string& folder);

// Saves the complete information set into the folder; on a failure the
// temporary file is removed and the old file kept.
platform::Status SaveInfoFile(const std::string& folder, DataSet& info);

}  // namespace commlib::capture
