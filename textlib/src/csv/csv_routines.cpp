// The CSV worker routines: Data, a stream of character fields broken into
// lines of `Width` fields, and Frame, one line per frame with direction, time,
// end status and as many characters as `Width` leaves room for.
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

#include "convert_job.h"
#include "csv/csv_field.h"
#include "frames/frame.h"

namespace textlib {
namespace {

constexpr int kSdOnly = 1, kRdOnly = 2;  // Line; 0 is both directions
constexpr std::size_t kMaxDelimiter = 15;

// Frame end statuses as the Frame form names them; none gives an empty field.
constexpr const char* kEndNames[] = {"", "GOOD", "NG", "Break", "Abort", "Short frame"};

}  // namespace

// The delimiter is written whole. A record whose text fills all sixteen bytes
// has no terminator; we stop at fifteen characters rather than read past it.
std::string_view ConvertJob::Delimiter() const { return {options_.Delimit, strnlen(options_.Delimit, kMaxDelimiter)}; }

// A line's fields are gathered and written at once.
bool ConvertJob::PutCsvLine(std::string& line) {
    const bool ok = PutBytes(line.data(), line.size()) && PutChar('\n');
    line.clear();
    return ok;
}

void ConvertJob::AppendCsvCell(std::string& line, std::uint16_t cell) const {
    CsvFieldText f = CsvField(cell, options_.CsvData, columns_.page);
    line.append(f.text, f.size);
}

int ConvertJob::CsvData() {
    columns_.page = CodePageFor(reader_.Info(info::kCode));
    reader_.Seek(StartIndex());
    const std::string_view delimiter = Delimiter();
    std::string line;
    int n = 0;  // fields on the current line
    auto field = [&](std::uint16_t cell) {
        if (n > 0) line += delimiter;
        AppendCsvCell(line, cell);
        if (++n < options_.Width) return true;
        n = 0;
        return PutCsvLine(line);
    };
    while (KeepGoing()) {
        std::uint32_t w = reader_.NextRecord();
        if (w == 0) break;
        if (!IsData(w)) continue;  // gap markers carry no character
        if (options_.Line != kRdOnly && !field(SdCell(w))) return kConvertFailed;
        if (options_.Line != kSdOnly && !field(RdCell(w))) return kConvertFailed;
    }
    if (n > 0 && !PutCsvLine(line)) return kConvertFailed;
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
        MarkLines(*frame);
        if (!CsvFrameLine(*frame)) return kConvertFailed;
    }
    return kConvertDone;
}

bool ConvertJob::CsvFrameLine(const Frame& frame) {
    if (frame.direction == kFrameLost) return PutText("Lost\n");
    const std::string_view delimiter = Delimiter();
    std::string& line = csvLine_;
    line = frame.direction == kFrameSd ? "SD" : frame.direction == kFrameRd ? "RD" : "?";
    int fields = 1;
    if (options_.Width > 1) {
        line += delimiter;
        std::uint32_t t = frame.timeStamp;
        for (int k = 1; t != 0 && k <= 3; ++k) {
            line += kHexDigits[Byte(t, k) >> 4];
            line += kHexDigits[Byte(t, k) & 0xF];
        }
        ++fields;
    }
    if (options_.Width > 2) {
        const int end = frame.endStatus;
        line += delimiter;
        if (end > 0 && end < static_cast<int>(std::size(kEndNames))) line += kEndNames[end];
        ++fields;
    }
    for (int k = 0; k < frame.count && fields < options_.Width; ++k, ++fields) {
        line += delimiter;
        AppendCsvCell(line, frame.cells[k]);
    }
    return PutCsvLine(line);
}

}  // namespace textlib
