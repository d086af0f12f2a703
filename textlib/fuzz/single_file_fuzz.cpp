// Fuzz target: the single data file opener. The input is the file itself (an
// information body whose record count may lie, then record bytes); the reader
// opens it, reads every word it claims and walks the filtered record stream
// both ways. Nothing may crash and no read may leave the mapping.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "buffer_reader.h"

namespace {

const std::string& FilePath() {
    static std::string path;
    if (path.empty()) {
        char tmpl[] = "/tmp/textlib_single_fuzz_XXXXXX";
        const int fd = ::mkstemp(tmpl);
        if (fd < 0) std::abort();
        ::close(fd);
        path = tmpl;
        std::atexit([] { ::unlink(FilePath().c_str()); });
    }
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = FilePath();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) std::abort();
    if (size > 0) std::fwrite(data, 1, size, f);
    std::fclose(f);

    textlib::BufferReader reader;
    const bool opened = reader.Open(path.c_str());
    if (size < static_cast<std::size_t>(pcbuffer::kInfoBodySize)) {
        if (opened) std::abort();  // too short for the information body
        return 0;
    }
    if (!opened || !reader.IsSingleFile()) std::abort();
    const std::int64_t count = reader.RecordCount();
    if (count < 0 || count > static_cast<std::int64_t>((size - pcbuffer::kInfoBodySize) / 4)) std::abort();
    std::uint32_t sum = 0;
    for (std::int64_t i = -1; i <= count; ++i) sum += reader.ReadWord(i);
    if (reader.ReadWord(count) != 0) std::abort();  // past the end reads as nothing
    if (count == 0 && sum != 0) std::abort();       // and so does before the start

    reader.SetFilter(data[0] & 0x7F);
    reader.Seek(0);
    for (int i = 0; i < (1 << 16) && reader.NextRecord() != 0; ++i) {}
    reader.Seek(count / 2);
    (void)reader.FindLineState();
    return 0;
}
