// The capture writer's changes to a PC buffer folder: clearing it before a
// measurement and deleting a block given up by the ring. Names and the scan
// of a folder are the shared format's (pcbuffer/).
#pragma once
#include <string>

namespace commlib {

// Deletes the folder's "*.mkw" files before a measurement. Only plain files
// (and links, never what they point to) go; folders, devices, pipes and
// sockets stay, and files that cannot be deleted are left. Returns the count deleted.
int ClearBufferFolder(const std::string& folder);

// Deletes block file `number`; failures are left alone (false).
bool DeleteBlockFile(const std::string& folder, int number);

}  // namespace commlib
