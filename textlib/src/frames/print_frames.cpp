// The frame-oriented print routines: frame translation, packet translation
// and PPP translation, each a title, the header box, a column header and one
// line per frame from the frame delimiter.
#include "convert_job.h"
#include "frames/frame.h"
#include "frames/frame_formatter.h"
#include "frames/ppp_formatter.h"

namespace textlib {

int ConvertJob::PrintFrames() {
    const bool lapd = options_.TranslateFrame == kLapd;
    if (!PutText("        ** FRAME CONVERSION **\n") || !PrintHeader(reader_.InfoBody()) ||
        !PutText(lapd ? "     TM  SAP TE CR TYPE  NS P/F NR FCS DATA\n" : "     TM   AD TYPE  NS P/F NR FCS DATA\n"))
        return kConvertFailed;
    std::unique_ptr<FrameFormatter> formatter = CreateFrameFormatter(options_.TranslateFrame, kPacketOff);
    if (formatter == nullptr) return kConvertFailed;
    return PrintEachFrame([&](const Frame& frame) -> const std::string& { return formatter->FormatLine(frame); });
}

int ConvertJob::PrintPackets() {
    const bool q931 = options_.TranslatePacket == kPacketQ931;
    if (!PutText("        ** PACKET CONVERSION **\n") || !PrintHeader(reader_.InfoBody()) ||
        !PutText(q931 ? "     TM   PD  MESSAGE CRF CR  FCS DATA\n" : "     TM   GN  CN P_TYPE PS  PR M Q D DATA\n"))
        return kConvertFailed;
    std::unique_ptr<FrameFormatter> formatter = CreateFrameFormatter(options_.TranslateFrame, options_.TranslatePacket);
    if (formatter == nullptr) return kConvertFailed;
    return PrintEachFrame([&](const Frame& frame) -> const std::string& { return formatter->FormatLine(frame); });
}

int ConvertJob::PrintPpp() {
    if (!PutText("         ** PPP CONVERSION **\n") || !PrintHeader(reader_.InfoBody()) ||
        !PutText("     TM   PROTOCOL CODE      ID DATA\n"))
        return kConvertFailed;
    std::unique_ptr<PppFormatter> formatter = CreatePppFormatter();
    if (formatter == nullptr) return kConvertFailed;
    return PrintEachFrame([&](const Frame& frame) -> const std::string& { return formatter->FormatLine(frame); });
}

void ConvertJob::MarkLines(const Frame& frame) {
    lineMarked_ = frame.direction == kFrameLost || (frame.endStatus != kEndGood && frame.endStatus != kEndNone);
}

// One line per frame from the job's first record until the data or the
// block range end.
int ConvertJob::PrintEachFrame(const std::function<const std::string&(const Frame&)>& format) {
    reader_.Seek(StartIndex());
    // Empty frames past the range are not worth scanning for (a line in break
    // state can fill many blocks with them).
    const std::int64_t end = RangeEnd();
    auto frame = std::make_unique<Frame>();
    while (KeepGoing()) {
        if (!NextFrame(reader_, *frame, end)) return kConvertDone;
        MarkLines(*frame);
        const std::string& line = format(*frame);
        if (!PutLine(line.data(), line.size())) return kConvertFailed;
    }
    return kConvertDone;
}

}  // namespace textlib
