// The frame-oriented print routines: frame translation, packet translation
// and PPP translation, each a title, the header box, a column header and one
// line per frame from the frame delimiter.
#include "frames/print_frames.h"

#include <memory>
#include <string>

#include "convert_job.h"
#include "frames/each_frame.h"
#include "frames/frame.h"
#include "frames/frame_formatter.h"
#include "frames/ppp_formatter.h"
#include "print/print_block.h"

namespace textlib {
namespace {

// One line per frame, each through `formatter`'s FormatLine.
template <typename Formatter>
int PrintEachFrame(ConvertJob& job, Formatter& formatter) {
    return EachFrame(job, [&](const Frame& frame) {
        const std::string& line = formatter.FormatLine(frame);
        return job.PutLine(line.data(), line.size());
    });
}

}  // namespace

int PrintFrames(ConvertJob& job) {
    const ConvertOptions& options = job.Options();
    const bool lapd = options.TranslateFrame == kLapd;
    if (!job.PutText("        ** FRAME CONVERSION **\n") || !PrintHeader(job) ||
        !job.PutText(lapd ? "     TM  SAP TE CR TYPE  NS P/F NR FCS DATA\n"
                          : "     TM   AD TYPE  NS P/F NR FCS DATA\n"))
        return kConvertFailed;
    std::unique_ptr<FrameFormatter> formatter = CreateFrameFormatter(options.TranslateFrame, kPacketOff);
    if (formatter == nullptr) return kConvertFailed;
    return PrintEachFrame(job, *formatter);
}

int PrintPackets(ConvertJob& job) {
    const ConvertOptions& options = job.Options();
    const bool q931 = options.TranslatePacket == kPacketQ931;
    if (!job.PutText("        ** PACKET CONVERSION **\n") || !PrintHeader(job) ||
        !job.PutText(q931 ? "     TM   PD  MESSAGE CRF CR  FCS DATA\n" : "     TM   GN  CN P_TYPE PS  PR M Q D DATA\n"))
        return kConvertFailed;
    std::unique_ptr<FrameFormatter> formatter = CreateFrameFormatter(options.TranslateFrame, options.TranslatePacket);
    if (formatter == nullptr) return kConvertFailed;
    return PrintEachFrame(job, *formatter);
}

int PrintPpp(ConvertJob& job) {
    if (!job.PutText("         ** PPP CONVERSION **\n") || !PrintHeader(job) ||
        !job.PutText("     TM   PROTOCOL CODE      ID DATA\n"))
        return kConvertFailed;
    std::unique_ptr<PppFormatter> formatter = CreatePppFormatter();
    if (formatter == nullptr) return kConvertFailed;
    return PrintEachFrame(job, *formatter);
}

}  // namespace textlib
