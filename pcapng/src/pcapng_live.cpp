// The live capture run: the export's packet loop over a live reader.
#include "pcapng/pcapng_live.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>

#include "packet_writer.h"
#include "textlib/buffer_format.h"
#include "textlib/live_records.h"

namespace pcapng {

platform::Status StreamPcapng(textlib::LiveRecords& live, const LiveOptions& o, std::FILE* out, ExportSummary& s) {
    using platform::Status;
    s = {};
    auto body = std::make_unique<textlib::LiveRecords::Body>();
    if (!live.WaitInfo(*body))
        return Status::failureWithMessage("read", "the measurement", 0,
                                          "the measurement ended before its information arrived");
    textlib::FrameReader reader;
    reader.OpenLive(live, body->data());
    if (o.line == 1) reader.SetFilter(textlib::kHideRd);
    if (o.line == 2) reader.SetFilter(textlib::kHideSd);
    const std::optional<std::int64_t> midnight = LocalMidnight(std::time(nullptr));
    s.onMeasurementDate = midnight.has_value();
    CaptureClock clock(midnight);
    const Link link = LinkFor(reader.Info(textlib::info::kMode), o.frameProtocol, o.hdlcLink);
    s.linkType = link.type;

    int error = 0;
    const BlockWriter write = [out, &error](const Bytes& b) {
        if (std::fwrite(b.data(), 1, b.size(), out) == b.size()) return true;
        error = errno;
        return false;
    };
    live.SetBeforeWait([out, &error] {
        if (std::fflush(out) == 0) return true;
        error = errno;
        return false;
    });
    bool ok = WriteHeader(link, "zamvex extcap", write) &&
              WritePackets(reader, Range{0, INT64_MAX, 1, 1}, link, clock, write, s, {});
    live.SetBeforeWait({});
    if (ok && std::fflush(out) != 0) {
        error = errno;
        ok = false;
    }
    if (ok && !live.Abandoned()) return {};
    live.Abandon();
    if (error == 0) error = EPIPE;
    return Status::failureWithMessage("write", "the capture", error,
                                      std::string("cannot write the capture: ") + std::strerror(error));
}

}  // namespace pcapng
