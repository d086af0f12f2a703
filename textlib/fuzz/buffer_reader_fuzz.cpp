// Fuzz target: a random buffer folder or single data file, opened by the
// reader and printed with the line-state layout. Nothing may crash and no read
// may leave a mapping (ASan watches the mapped block's neighbours).
//
// Input: byte 0 picks the form and options, bytes 1..40 become the start of
// the data-info body, the rest are record bytes. Folder mode may put a full
// block of ordinary data in front, so reads cross a block boundary.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "buffer_reader.h"
#include "convert_job.h"

namespace {

struct NoNotices : textlib::JobNotifier {
    void PostNotification(std::uintptr_t) override {}
};

void ClearFolder(const std::string& folder);

std::string& WorkDirName() {
    static std::string dir;
    return dir;
}

void RemoveWorkDir() {
    const std::string& dir = WorkDirName();
    for (const char* sub : {"/buffer", "/out", ""}) {
        ClearFolder(dir + sub);
        ::rmdir((dir + sub).c_str());
    }
}

const std::string& WorkDir() {
    std::string& dir = WorkDirName();
    if (dir.empty()) {
        char tmpl[] = "/tmp/textlib_fuzz_XXXXXX";
        const char* made = ::mkdtemp(tmpl);
        if (made == nullptr) std::abort();
        dir = made;
        std::atexit(RemoveWorkDir);
    }
    return dir;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) std::abort();
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void ClearFolder(const std::string& folder) {
    if (DIR* d = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(d))
            if (e->d_name[0] != '.' && e->d_type != DT_DIR) ::unlink((folder + "/" + e->d_name).c_str());
        ::closedir(d);
    }
}

std::vector<std::uint8_t> FullBlock() {
    std::vector<std::uint8_t> block(textlib::kBlockWords * 4);
    for (std::size_t i = 0; i < block.size(); i += 4) {
        block[i] = 0x30;  // SD only, status 0
        block[i + 1] = static_cast<std::uint8_t>('A' + (i / 4) % 26);
        block[i + 2] = 0x2F;
    }
    block[400] = 0x01;  // one line-state change early on: 0x01 0x80 0x00 0x40
    block[401] = 0x80;
    block[402] = 0x00;
    block[403] = 0x40;
    return block;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t flags = data[0];
    std::vector<std::uint8_t> body(pcbuffer::kInfoBodySize, 0);
    std::size_t head = size - 1 < 40 ? size - 1 : 40;
    std::memcpy(body.data(), data + 1, head);
    body[textlib::info::kLineStates] = 1;
    std::memcpy(body.data() + textlib::info::kRecordCount, body.data() + 36, 4);  // any count, even a lie
    const std::uint8_t* records = data + 1 + head;
    std::size_t recordBytes = size - 1 - head;

    const std::string folder = WorkDir() + "/buffer", out = WorkDir() + "/out";
    ::mkdir(folder.c_str(), 0700);
    ::mkdir(out.c_str(), 0700);
    ClearFolder(folder);
    std::string path = folder;
    if (flags & 1) {  // single data file; the stored count comes from the input as it is
        std::vector<std::uint8_t> file(body);
        file.insert(file.end(), records, records + recordBytes);
        path = WorkDir() + "/single.dat";
        WriteFile(path, file);
    } else {
        std::vector<std::uint8_t> info(20, 0);
        std::memcpy(info.data(), "MIRLOKE DATAINFO", 16);
        info.insert(info.end(), body.begin(), body.end());
        WriteFile(folder + "/datainfo.mkw", info);
        int first = (flags >> 1) & 3;
        if (flags & 8) {
            static const std::vector<std::uint8_t> kFull = FullBlock();
            char name[32];
            std::snprintf(name, sizeof name, "/%08d.mkw", first++);
            WriteFile(folder + name, kFull);
        }
        char name[32];
        std::snprintf(name, sizeof name, "/%08d.mkw", first);
        WriteFile(folder + name, std::vector<std::uint8_t>(records, records + recordBytes));
    }

    textlib::BufferReader reader;
    if (!reader.Open(path.c_str())) return 0;
    ConvertOptions o{};
    o.Start = 1;
    o.Blocks = 4;
    std::snprintf(o.SavePath, sizeof o.SavePath, "%s", out.c_str());
    o.MaxLines = 1 << 20;
    o.PrintData = (flags >> 4) & 3;
    o.Line = (flags >> 6) & 3;
    o.GuideCut = body[0] & 1;
    o.IdleTimeCut = (body[0] >> 1) & 1;
    o.TimeStampCut = (body[0] >> 2) & 1;
    for (int i = 0; i < 8; ++i) o.DisplayLineState[i] = static_cast<signed char>(body[24 + i] % 10) - 1;
    NoNotices notices;
    textlib::ConvertJob job(reader, o, "f", nullptr, notices);
    // Line states recorded and not cut: Run sets the reader filter for this layout.
    job.Run([&](textlib::Routine) { return job.CallRoutine(textlib::Routine::PrintNormalLineState); });
    return 0;
}
