// Checks a buffer folder with the shared rule (pcbuffer/folder_scan.h): a
// valid "datainfo.mkw" and consecutively numbered block files. The reader
// also needs the information body in full, and takes it during the scan.
#include "pcbuffer/folder_scan.h"
#include "buffer_reader.h"

namespace textlib {

bool BufferReader::ScanFolder(const char* folder) {
    currentBlock_ = blockCount_ = firstBlock_ = 0;
    folder_.clear();
    if (folder == nullptr) return false;
    const std::string base = folder;
    const auto files = pcbuffer::ListBufferFiles(base);
    const pcbuffer::BufferScan scan =
        pcbuffer::ScanBufferEntries(files, [this, &base](const pcbuffer::BufferFileEntry& e) {
            // A second, damaged "DATAINFO.MKW" leaves a good body as it was.
            return pcbuffer::ReadInfoFile(pcbuffer::BufferFilePath(base, e.name), body_).ok();
        });
    if (!scan.hasData) return false;
    firstBlock_ = scan.firstBlock;
    currentBlock_ = scan.nextBlock;
    blockCount_ = scan.blockCount;
    folder_ = base;
    return true;
}

}  // namespace textlib
