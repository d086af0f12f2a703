// Fuzz target: random record words converted with the control-sequence
// translation or one of the two CSV forms. Nothing may crash, read out of
// bounds or loop without end, whatever the words, codes and options.
//
// Input: byte 0 picks the routine and the line, byte 1 the CSV data mode and
// width, byte 2 the delimiter length, bytes 3..34 the start of the data-info
// body (mode, code, SYNC characters ...), the rest are record bytes.
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

std::string& WorkDirName() {
    static std::string dir;
    return dir;
}

void RemoveWorkDir() {
    const std::string& dir = WorkDirName();
    ::unlink((dir + "/single.dat").c_str());
    ::unlink((dir + "/f00000000.txt").c_str());
    ::rmdir(dir.c_str());
}

const std::string& WorkDir() {
    std::string& dir = WorkDirName();
    if (dir.empty()) {
        char tmpl[] = "/tmp/textlib_translate_fuzz_XXXXXX";
        const char* made = ::mkdtemp(tmpl);
        if (made == nullptr) std::abort();
        dir = made;
        std::atexit(RemoveWorkDir);
    }
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHead = 3, kBodyBytes = 32;
    if (size < kHead) return 0;
    std::vector<std::uint8_t> file(pcbuffer::kInfoBodySize, 0);
    std::size_t body = size - kHead < kBodyBytes ? size - kHead : kBodyBytes;
    std::memcpy(file.data(), data + kHead, body);
    const std::uint8_t* records = data + kHead + body;
    const std::size_t recordBytes = size - kHead - body;
    const std::uint32_t count = static_cast<std::uint32_t>(recordBytes / 4);
    std::memcpy(file.data() + textlib::info::kRecordCount, &count, 4);
    file.insert(file.end(), records, records + recordBytes);

    const std::string path = WorkDir() + "/single.dat";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) std::abort();
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);

    textlib::BufferReader reader;
    if (!reader.Open(path.c_str())) return 0;
    ConvertOptions o{};
    o.Start = 1;
    o.Blocks = 1;
    std::snprintf(o.SavePath, sizeof o.SavePath, "%s", WorkDir().c_str());
    o.MaxLines = 1 << 20;
    const int routine = data[0] % 3;
    o.Format = routine == 0 ? 0 : 1;
    o.PrintFormat = PrintFormatTranslate;
    o.CsvForm = routine == 2 ? 1 : 0;
    o.Line = (data[0] >> 2) % 3;
    o.CsvData = data[1] % 4;
    o.Width = static_cast<std::int8_t>(data[1]) >> 2;  // negative and zero widths too
    std::memset(o.Delimit, ';', sizeof o.Delimit);     // sixteen bytes: no terminator unless given
    if (data[2] < sizeof o.Delimit) o.Delimit[data[2]] = '\0';
    NoNotices notices;
    textlib::ConvertJob job(reader, o, "f", nullptr, notices);
    job.Run([&](textlib::Routine r) { return job.CallRoutine(r); });
    return 0;
}
