// The PC buffer folder on disk: listing its "*.mkw" files, checking the
// information file's header, scanning for the block range, clearing the
// folder before a measurement and deleting a block given up by the ring.
#pragma once
#include <string>
#include <vector>

#include "buffer/folder_scan.h"

namespace commlib {

// The folder's "*.mkw" entries that are files (links followed), with sizes.
// An unreadable or missing folder lists nothing.
std::vector<BufferFileEntry> ListBufferFiles(const std::string& folder);

// True when the file opens, 20 bytes can be read and they start with "MIRLOKE DATAINFO".
bool InfoHeaderValid(const std::string& path);

// The scan of a folder; null or empty means no folder: nothing, all zero.
BufferScan ScanBufferFolder(const char* folder);

// Deletes the folder's "*.mkw" files before a measurement. Only plain files
// (and links, never what they point to) go; folders, devices, pipes and
// sockets stay, and files that cannot be deleted are left. Returns the count deleted.
int ClearBufferFolder(const std::string& folder);

// Deletes block file `number`; failures are left alone (false).
bool DeleteBlockFile(const std::string& folder, int number);

} // namespace commlib
