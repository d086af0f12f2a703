// Checks a buffer folder with the shared rule (pcbuffer/folder_scan.h): a
// valid "datainfo.mkw" and consecutively numbered block files. The reader
// also needs the information body in full, and takes it during the scan.
#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>

#include "buffer_reader.h"
#include "pcbuffer/folder_scan.h"

namespace textlib {
namespace {

// Reads the header and the body of a data-info file; false unless both are
// there in full and the magic matches.
bool ReadInfoFile(const std::string& path, std::uint8_t* body) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < kInfoHeaderSize) return false;
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!f) return false;
    char header[kInfoHeaderSize];
    if (std::fread(header, 1, sizeof header, f.get()) != sizeof header) return false;
    if (std::memcmp(header, pcbuffer::InfoMagic, pcbuffer::InfoMagicSize) != 0) return false;
    return std::fread(body, 1, kInfoBodySize, f.get()) == static_cast<std::size_t>(kInfoBodySize);
}

}  // namespace

bool BufferReader::ScanFolder(const char* folder) {
    currentBlock_ = blockCount_ = firstBlock_ = 0;
    folder_.clear();
    if (folder == nullptr) return false;
    const std::string base = folder;
    const auto files = pcbuffer::ListBufferFiles(base);
    const pcbuffer::BufferScan scan =
        pcbuffer::ScanBufferEntries(files, [this, &base](const pcbuffer::BufferFileEntry& e) {
            // Read aside first: a second, damaged "DATAINFO.MKW" must not spoil a good body.
            std::array<std::uint8_t, kInfoBodySize> body;
            if (!ReadInfoFile(pcbuffer::BufferFilePath(base, e.name), body.data())) return false;
            body_ = body;
            return true;
        });
    if (!scan.hasData) return false;
    firstBlock_ = scan.firstBlock;
    currentBlock_ = scan.nextBlock;
    blockCount_ = scan.blockCount;
    folder_ = base;
    return true;
}

}  // namespace textlib
