// Fuzz target: random record words cut into frames in every measurement mode
// and printed by every frame, packet and PPP formatter. Nothing may crash,
// the delimiter must come to an end, and no line may pass the line width.
//
// Input: byte 0 picks the direction filter, bytes 1..40 become the start of
// the data-info body (byte 2 of the input is the mode), the rest are record
// bytes of a single data file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "buffer_reader.h"
#include "frames/frame.h"
#include "frames/frame_formatter.h"
#include "frames/ppp_formatter.h"

namespace {

const std::string& DataFile() {
    static std::string path;
    if (path.empty()) {
        char tmpl[] = "/tmp/textlib_frames_fuzz_XXXXXX";
        int fd = ::mkstemp(tmpl);
        if (fd < 0) std::abort();
        ::close(fd);
        path = tmpl;
        std::atexit([] { ::unlink(DataFile().c_str()); });
    }
    return path;
}

struct Formatters {
    std::vector<std::unique_ptr<textlib::FrameFormatter>> frames;
    std::unique_ptr<textlib::PppFormatter> ppp = textlib::CreatePppFormatter();
    Formatters() {
        for (int variant = 0; variant <= textlib::kLapd; ++variant)
            for (int packets = 0; packets <= textlib::kPacketQ931; ++packets)
                frames.push_back(textlib::CreateFrameFormatter(variant, packets));
    }
};

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    std::vector<std::uint8_t> file(pcbuffer::kInfoBodySize, 0);
    std::size_t head = size - 1 < 40 ? size - 1 : 40;
    std::memcpy(file.data(), data + 1, head);
    file[1] %= 6;  // the five modes, and one that reads as ASYNC
    const std::size_t records = (size - 1 - head) / 4;
    const std::uint32_t count = static_cast<std::uint32_t>(records);
    std::memcpy(file.data() + textlib::info::kRecordCount, &count, 4);
    file.insert(file.end(), data + 1 + head, data + 1 + head + records * 4);
    FILE* f = std::fopen(DataFile().c_str(), "wb");
    Check(f != nullptr);
    Check(std::fwrite(file.data(), 1, file.size(), f) == file.size());
    Check(std::fclose(f) == 0);

    textlib::BufferReader reader;
    if (!reader.Open(DataFile().c_str())) return 0;
    reader.SetFilter(data[0] % 3);  // both directions, SD only, RD only
    reader.Seek(0);
    static Formatters formatters;
    auto frame = std::make_unique<textlib::Frame>();
    std::size_t frames = 0;
    while (textlib::NextFrame(reader, *frame)) {
        // Every record can open at most one frame of each direction and one lost frame.
        Check(++frames <= 3 * records + 3);
        Check(frame->count >= 0 && frame->count <= textlib::kMaxFrameCells);
        Check(frame->direction >= textlib::kFrameUndecided && frame->direction <= textlib::kFrameLost);
        for (auto& formatter : formatters.frames) Check(formatter->FormatLine(*frame).size() <= 132);
        Check(formatters.ppp->FormatLine(*frame).size() <= 132);
    }
    return 0;
}
