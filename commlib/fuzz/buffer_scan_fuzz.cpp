// Fuzz target: the PC buffer folder scan. The input lists up to 24 files
// (name and size); they are made in a scratch folder, which the folder scan,
// the pure rule over the same list and the capture writer's scan (which trims
// a newest block cut inside a word) all look at. The two scans must agree, a
// range found must be a gapless run, and the trim may touch nothing else.
//
// Input: per file one byte of flags (bit 0: the information header is valid,
// bit 1: a name of digits is written with 8 places), one length byte, the
// name's bytes (or a number for bit 1) and two size bytes.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "../tests/capture_test_util.h"
#include "buffer/buffer_folder.h"
#include "capture/capture_writer.h"
#include "pcbuffer/buffer_names.h"
#include "pcbuffer/folder_scan.h"

namespace {

const std::string& Folder() {
    static std::string folder;
    if (folder.empty()) {
        char tmpl[] = "/tmp/buffer_scan_fuzz_XXXXXX";
        if (!::mkdtemp(tmpl)) std::abort();
        folder = tmpl;
        std::atexit([] {
            (void)commlib::ClearBufferFolder(Folder());
            ::rmdir(Folder().c_str());
        });
    }
    return folder;
}

void Empty(const std::string& folder) {
    if (DIR* d = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(d))
            if (e->d_name[0] != '.' || (e->d_name[1] != '\0' && e->d_name[1] != '.'))
                ::unlink((folder + "/" + e->d_name).c_str());
        ::closedir(d);
    }
}

void MakeFile(const std::string& path, std::int64_t size, bool validInfo) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;  // a name the file system refuses
    if (validInfo) {
        const char header[] = "MIRLOKE DATAINFO\2\0\0\0";
        (void)!::write(fd, header, 20);
    }
    (void)!::ftruncate(fd, size);
    ::close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& folder = Folder();
    Empty(folder);
    std::size_t at = 0;
    for (int files = 0; files < 24 && at + 4 <= size; ++files) {
        const std::uint8_t flags = data[at];
        const std::size_t length = data[at + 1] % 16;
        at += 2;
        if (at + length + 2 > size) break;
        std::string name;
        if (flags & 2) {
            long number = 0;
            for (std::size_t i = 0; i < length; ++i) number = number * 7 + data[at + i];
            name = pcbuffer::BlockFileName(static_cast<int>(number % pcbuffer::kBlockNumberLimit));
        } else {
            for (std::size_t i = 0; i < length; ++i) {
                const char c = static_cast<char>(data[at + i]);
                name += (c == '/' || c == '\0') ? '_' : c;
            }
        }
        at += length;
        const std::int64_t fileSize = data[at] | data[at + 1] << 8;
        at += 2;
        if (name.empty() || name == "." || name == "..") continue;
        MakeFile(folder + "/" + name, fileSize, flags & 1);
    }

    const auto listed = pcbuffer::ListBufferFiles(folder);
    const pcbuffer::BufferScan scan = pcbuffer::ScanBufferFolder(folder.c_str());
    const pcbuffer::BufferScan rule = pcbuffer::ScanBufferEntries(listed, [&](const pcbuffer::BufferFileEntry& e) {
        return pcbuffer::InfoHeaderValid(pcbuffer::BufferFilePath(folder, e.name)).ok();
    });
    if (!(scan == rule)) std::abort();
    if (scan.hasData && (scan.blockCount <= 0 || scan.nextBlock - scan.firstBlock + 1 != scan.blockCount)) std::abort();
    if (!scan.hasData && !(scan == pcbuffer::BufferScan{})) std::abort();

    // The writer's scan trims only the newest block, and only to whole words.
    commlib::test::CaptureOutput out;
    commlib::capture::CaptureWriter writer(out);
    const BufferSettings settings{folder.c_str(), 8, 0, 0};
    writer.ScanFolder(settings);
    std::map<std::string, std::int64_t> sizes;
    for (const auto& e : listed) sizes[e.name] = e.size;
    const auto after = pcbuffer::ListBufferFiles(folder);
    if (after.size() != listed.size()) std::abort();
    for (const auto& e : after) {
        const auto it = sizes.find(e.name);
        if (it == sizes.end()) std::abort();
        const bool newest = scan.hasData && e.name == pcbuffer::BlockFileName(scan.nextBlock);
        if (e.size != (newest ? it->second - it->second % 4 : it->second)) std::abort();
    }
    return 0;
}
