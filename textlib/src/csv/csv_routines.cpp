// The CSV routines: Data, a stream of character fields broken into lines of
// `Width` fields, and Frame, one line per frame with direction, time, end
// status and as many characters as `Width` leaves room for.
#include "csv/csv_routines.h"

#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

#include "convert_job.h"
#include "csv/csv_field.h"
#include "frames/each_frame.h"
#include "frames/frame.h"

namespace textlib {
namespace {

constexpr int kSdOnly = 1, kRdOnly = 2;  // Line; 0 is both directions
constexpr std::size_t kMaxDelimiter = 15;

// Frame end statuses as the Frame form names them; none gives an empty field.
constexpr const char* kEndNames[] = {"", "GOOD", "NG", "Break", "Abort", "Short frame"};

// The lines of one CSV job: fields through the code page of the buffer, joined by the delimiter.
class CsvLines {
public:
    explicit CsvLines(ConvertJob& job)
        : job_(job), options_(job.Options()), page_(CodePageFor(job.Reader().Info(info::kCode))) {}

    // The delimiter is written whole. A record whose text fills all sixteen
    // bytes has no terminator; we stop at fifteen characters rather than read
    // past it.
    std::string_view Delimiter() const { return {options_.Delimit, strnlen(options_.Delimit, kMaxDelimiter)}; }

    // A line's fields are gathered and written at once.
    bool PutLine(std::string& line) {
        const bool ok = job_.PutBytes(line.data(), line.size()) && job_.PutChar('\n');
        line.clear();
        return ok;
    }

    void AppendCell(std::string& line, std::uint16_t cell) const {
        CsvFieldText f = CsvField(cell, options_.CsvData, page_);
        line.append(f.text, f.size);
    }

    bool FrameLine(const Frame& frame);

private:
    ConvertJob& job_;
    const ConvertOptions& options_;
    CodePage page_;
    std::string frameLine_;  // the frame line being built
};

bool CsvLines::FrameLine(const Frame& frame) {
    if (frame.direction == kFrameLost) return job_.PutText("Lost\n");
    const std::string_view delimiter = Delimiter();
    std::string& line = frameLine_;
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
        AppendCell(line, frame.cells[k]);
    }
    return PutLine(line);
}

}  // namespace

int CsvData(ConvertJob& job) {
    const ConvertOptions& options = job.Options();
    CsvLines lines(job);
    BufferReader& reader = job.Reader();
    reader.Seek(job.StartIndex());
    const std::string_view delimiter = lines.Delimiter();
    std::string line;
    int n = 0;  // fields on the current line
    auto field = [&](std::uint16_t cell) {
        if (n > 0) line += delimiter;
        lines.AppendCell(line, cell);
        if (++n < options.Width) return true;
        n = 0;
        return lines.PutLine(line);
    };
    while (job.KeepGoing()) {
        std::uint32_t w = reader.NextRecord();
        if (w == 0) break;
        if (!IsData(w)) continue;  // gap markers carry no character
        if (options.Line != kRdOnly && !field(SdCell(w))) return kConvertFailed;
        if (options.Line != kSdOnly && !field(RdCell(w))) return kConvertFailed;
    }
    if (n > 0 && !lines.PutLine(line)) return kConvertFailed;
    return kConvertDone;
}

int CsvFrames(ConvertJob& job) {
    CsvLines lines(job);
    return EachFrame(job, [&](const Frame& frame) { return lines.FrameLine(frame); });
}

}  // namespace textlib
