// The export run: open the buffer, cut it into frames with NextFrame over the
// chosen block range and write one packet per frame.
#include "pcapng/pcapng_export.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <utility>

#include "packet_writer.h"
#include "pcbuffer/buffer_names.h"
#include "platform/whole_file.h"
#include "textlib/buffer_format.h"
#include "textlib/frame_reader.h"

namespace pcapng {
namespace {

using textlib::FrameReader;

// The capture file, written whole or not at all; blocks are gathered into
// large writes.
class OutputFile {
public:
    explicit OutputFile(const std::string& path) { open_ = file_.open(path).ok(); }
    bool IsOpen() const { return open_; }
    bool Write(const Bytes& b) {
        pending_.insert(pending_.end(), b.begin(), b.end());
        return pending_.size() < kWriteSize || Flush();
    }
    bool Finish() { return Flush() && file_.commit().ok(); }
    std::string Error() const { return file_.status().message(); }
    int ErrorNumber() const { return file_.status().errorNumber(); }

private:
    static constexpr std::size_t kWriteSize = 1 << 20;
    bool Flush() {
        const bool ok = file_.write(pending_.data(), pending_.size()).ok();
        pending_.clear();
        return ok;
    }

    platform::WholeFile file_;
    bool open_ = false;
    Bytes pending_;
};

std::optional<std::int64_t> MidnightOfFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return LocalMidnight(st.st_mtime);
}

// The record range of the options, or an error text.
std::string RangeOf(const FrameReader& reader, const ExportOptions& o, Range& r) {
    if (reader.IsSingleFile()) {
        r = {0, reader.RecordCount(), 0, 1};
        return {};
    }
    if (o.start < 1 || o.start > reader.BlockCount())
        return "--start " + std::to_string(o.start) + " is outside the buffer's " +
               std::to_string(reader.BlockCount()) + " blocks";
    if (o.blocks < 1) return "--blocks must be at least 1";
    std::int64_t last = std::min<std::int64_t>(std::int64_t{o.start} + o.blocks - 1, reader.BlockCount());
    r = {(std::int64_t{o.start} - 1) * textlib::kBlockWords, last * textlib::kBlockWords, o.start,
         static_cast<int>(last - o.start + 1)};
    return {};
}

}  // namespace

std::optional<std::int64_t> MidnightOf(const std::string& date) {
    std::tm tm{};
    int y = 0, m = 0, d = 0;
    char extra = 0;
    if (std::sscanf(date.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &extra) != 3) return std::nullopt;
    if (y < 1970 || m < 1 || m > 12 || d < 1 || d > 31) return std::nullopt;
    tm.tm_year = y - 1900;
    tm.tm_mon = m - 1;
    tm.tm_mday = d;
    tm.tm_isdst = -1;
    std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1) || tm.tm_mday != d) return std::nullopt;  // 31 April and such
    return static_cast<std::int64_t>(t);
}

platform::Status ExportPcapng(const ExportOptions& o, ExportSummary& s, const ExportProgress& progress) {
    using platform::Status;
    s = {};
    FrameReader reader;
    if (!reader.Open(o.buffer.c_str()))
        return Status::failureWithMessage("open", o.buffer, 0, "cannot open the buffer '" + o.buffer + "'");
    Range range{};
    if (std::string e = RangeOf(reader, o, range); !e.empty())
        return Status::failureWithMessage("read", o.buffer, 0, std::move(e));
    if (o.line == 1) reader.SetFilter(textlib::kHideRd);
    if (o.line == 2) reader.SetFilter(textlib::kHideSd);

    std::optional<std::int64_t> midnight = o.midnight;
    if (!midnight && !reader.IsSingleFile()) midnight = MidnightOfFile(pcbuffer::InfoFilePath(o.buffer));
    s.onMeasurementDate = midnight.has_value();
    CaptureClock clock(midnight);

    const Link link = LinkFor(reader.Info(textlib::info::kMode), o.frameProtocol, o.hdlcLink);
    s.linkType = link.type;
    OutputFile out(o.output);
    if (!out.IsOpen()) return Status::failureWithMessage("create", o.output, out.ErrorNumber(), out.Error());
    const BlockWriter write = [&out](const Bytes& b) { return out.Write(b); };
    bool ok = WriteHeader(link, "zamvex export", write) && WritePackets(reader, range, link, clock, write, s, progress);
    if (!ok || !out.Finish()) {
        if (out.Error().empty())
            return Status::failureWithMessage("write", o.output, 0, "cannot write '" + o.output + "'");
        return Status::failureWithMessage("write", o.output, out.ErrorNumber(), out.Error());
    }
    return {};
}

}  // namespace pcapng
