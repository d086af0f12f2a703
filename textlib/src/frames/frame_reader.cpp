// FrameReader: a buffer reader and the frame delimiter behind a small interface.
#include "textlib/frame_reader.h"

#include "buffer_reader.h"
#include "frames/frame.h"

namespace textlib {

FrameReader::FrameReader() : reader_(std::make_unique<BufferReader>()) {}
FrameReader::~FrameReader() = default;

bool FrameReader::Open(const char* path) { return reader_->Open(path); }
void FrameReader::OpenLive(LiveRecords& live, const std::uint8_t* body) { reader_->OpenLive(live, body); }
void FrameReader::SetFilter(int flags) { reader_->SetFilter(flags); }
bool FrameReader::IsSingleFile() const { return reader_->IsSingleFile(); }
std::int64_t FrameReader::RecordCount() const { return reader_->RecordCount(); }
int FrameReader::BlockCount() const { return reader_->BlockCount(); }
int FrameReader::Info(int offset) const { return reader_->Info(offset); }
void FrameReader::Seek(std::int64_t index) { reader_->Seek(index); }
std::int64_t FrameReader::Pos() const { return reader_->Pos(); }
int FrameReader::Words(std::int64_t index, std::uint32_t* out, int count) {
    int n = reader_->CopyMapped(index, out, count);
    for (int k = 0; k < n; ++k)
        if (out[k] == 0) return k;
    for (; n < count; ++n)
        if ((out[n] = reader_->ReadWord(index + n)) == 0) return n;
    return count;
}
bool FrameReader::Next(Frame& frame, std::int64_t end) { return NextFrame(*reader_, frame, end); }

}  // namespace textlib
