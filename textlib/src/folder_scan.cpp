// Checks a buffer folder: a valid "datainfo.mkw" and consecutively numbered
// block files. The numbers need no leading zeros to count, as the capture side
// has always accepted them.
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <array>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>

#include "buffer_reader.h"

namespace textlib {
namespace {

bool HasMkwExtension(const char* name) {
    std::size_t n = std::strlen(name);
    return n >= 4 && ::strcasecmp(name + n - 4, ".mkw") == 0;
}

// The block number of a name that begins with decimal digits directly followed
// by "."; -1 for any other name, or a number no block can have.
int BlockNumber(const char* name) {
    long long n = 0;
    const char* p = name;
    for (; *p >= '0' && *p <= '9'; ++p) {
        n = n * 10 + (*p - '0');
        if (n > kMaxBlockNumber) return -1;
    }
    return (p != name && *p == '.') ? static_cast<int>(n) : -1;
}

// Reads the header and the body of a data-info file; false unless both are
// there in full and the magic matches.
bool ReadInfoFile(const std::string& path, std::uint8_t* body) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < kInfoHeaderSize) return false;
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!f) return false;
    char header[kInfoHeaderSize];
    if (std::fread(header, 1, sizeof header, f.get()) != sizeof header) return false;
    if (std::memcmp(header, kInfoMagic, 16) != 0) return false;
    return std::fread(body, 1, kInfoBodySize, f.get()) == static_cast<std::size_t>(kInfoBodySize);
}

}  // namespace

bool BufferReader::ScanFolder(const char* folder) {
    currentBlock_ = blockCount_ = firstBlock_ = 0;
    folder_.clear();
    if (folder == nullptr) return false;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder), &::closedir);
    if (!dir) return false;

    int lowest = INT_MAX, highest = 0, count = 0;
    bool infoValid = false;
    const std::string base = folder;
    while (const dirent* e = ::readdir(dir.get())) {
        if (!HasMkwExtension(e->d_name)) continue;
        std::string full = base + "/" + e->d_name;
        if (::strcasecmp(e->d_name, kInfoFileName) == 0) {
            // Read aside first: a second, damaged "DATAINFO.MKW" must not spoil a good body.
            std::array<std::uint8_t, kInfoBodySize> body;
            if (ReadInfoFile(full, body.data())) {
                body_ = body;
                infoValid = true;
            }
            continue;
        }
        int n = BlockNumber(e->d_name);
        if (n < 0) continue;
        struct stat st {};
        if (::stat(full.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) continue;
        ++count;
        if (n < lowest) lowest = n;
        if (n > highest) highest = n;
    }
    if (!infoValid || count == 0 || highest - lowest + 1 != count) return false;
    firstBlock_ = lowest;
    currentBlock_ = highest;
    blockCount_ = count;
    folder_ = base;
    return true;
}

}  // namespace textlib
