// "datainfo.mkw" as the capture writer saves it: the 20-byte header and the
// 2038-byte body, written to a temporary name, flushed to the disk and renamed
// over the old file, so that a crash or a full disk never leaves a cut one.
#pragma once
#include <string>

#include "capture/block_file_io.h"

namespace commlib {
class DataSet;
}  // namespace commlib

namespace commlib::capture {

// The temporary name beside the folder's "datainfo.mkw" (not a "*.mkw" name).
std::string InfoFileTempPath(const std::string& folder);

// Saves the complete information set into the folder; 0, or the errno of the
// call that failed (the temporary file is removed then and the old file kept).
int SaveInfoFile(BlockFileIo& io, const std::string& folder, DataSet& info);

}  // namespace commlib::capture
