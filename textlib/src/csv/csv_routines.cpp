// The CSV worker routines: Data, a stream of character fields broken into
// lines of `Width` fields, and Frame, one line per frame with direction, time,
// end status and as many characters as `Width` leaves room for.
#include <cstring>
#include <iterator>
#include <memory>

#include "convert_job.h"
#include "csv/csv_field.h"
#include "frames/frame.h"

namespace textlib {
namespace {

constexpr int kSdOnly = 1, kRdOnly = 2;   // Line; 0 is both directions
constexpr std::size_t kMaxDelimiter = 15;

// Frame end statuses as the Frame form names them; none gives an empty field.
constexpr const char* kEndNames[] = {"", "GOOD", "NG", "Break", "Abort", "Short frame"};

}  // namespace

bool ConvertJob::CsvCell(std::uint16_t cell) {
    CsvFieldText f = CsvField(cell, options_.CsvData, columns_.page);
    for (std::size_t i = 0; i < f.size; ++i)
        if (!PutChar(f.text[i])) return false;
    return true;
}

// The delimiter is written whole. A record whose text fills all sixteen bytes
// has no terminator; we stop at fifteen characters rather than read past it.
bool ConvertJob::PutDelimiter() {
    std::size_t n = strnlen(options_.Delimit, kMaxDelimiter);
    for (std::size_t i = 0; i < n; ++i)
        if (!PutChar(options_.Delimit[i])) return false;
    return true;
}

int ConvertJob::CsvData() {
    columns_.page = CodePageFor(reader_.Info(info::kCode));
    reader_.Seek(StartIndex());
    int n = 0;   // fields on the current line
    auto field = [&](std::uint16_t cell) {
        if (n > 0 && !PutDelimiter()) return false;
        if (!CsvCell(cell)) return false;
        if (++n == options_.Width) {
            n = 0;
            return PutChar('\n');
        }
        return true;
    };
    while (KeepGoing()) {
        std::uint32_t w = reader_.NextRecord();
        if (w == 0) break;
        if (!IsData(w)) continue;   // gap markers carry no character
        if (options_.Line != kRdOnly && !field(SdCell(w))) return kConvertFailed;
        if (options_.Line != kSdOnly && !field(RdCell(w))) return kConvertFailed;
    }
    if (n > 0 && !PutChar('\n')) return kConvertFailed;
    return kConvertDone;
}

int ConvertJob::CsvFrames() {
    columns_.page = CodePageFor(reader_.Info(info::kCode));
    reader_.Seek(StartIndex());
    // Empty frames past the range are not worth scanning for.
    const std::int64_t end = RangeEnd();
    auto frame = std::make_unique<Frame>();
    while (KeepGoing()) {
        if (!NextFrame(reader_, *frame, end)) return kConvertDone;
        if (!CsvFrameLine(*frame)) return kConvertFailed;
    }
    return kConvertDone;
}

bool ConvertJob::CsvFrameLine(const Frame& frame) {
    if (frame.direction == kFrameLost) return PutText("Lost\n");
    const char* direction = frame.direction == kFrameSd ? "SD" : frame.direction == kFrameRd ? "RD" : "?";
    if (!PutText(direction)) return false;
    int fields = 1;
    if (options_.Width > 1) {
        if (!PutDelimiter()) return false;
        std::uint32_t t = frame.timeStamp;
        if (t != 0 && !PutFormat("%02X%02X%02X", Byte(t, 1), Byte(t, 2), Byte(t, 3))) return false;
        ++fields;
    }
    if (options_.Width > 2) {
        const int end = frame.endStatus;
        if (!PutDelimiter()) return false;
        if (end > 0 && end < static_cast<int>(std::size(kEndNames)) && !PutText(kEndNames[end])) return false;
        ++fields;
    }
    for (int k = 0; k < frame.count && fields < options_.Width; ++k, ++fields)
        if (!PutDelimiter() || !CsvCell(frame.cells[k])) return false;
    return PutChar('\n');
}

}  // namespace textlib
