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

#include "buffer_reader.h"
#include "platform/whole_file.h"
#include "capture_clock.h"
#include "frame_packets.h"
#include "frames/frame.h"

namespace pcapng {
namespace {

using textlib::BufferReader;
using textlib::Frame;

// The capture file, written whole or not at all; blocks are gathered into
// large writes.
class OutputFile {
public:
    explicit OutputFile(const std::string& path) { open_ = file_.open(path); }
    bool IsOpen() const { return open_; }
    bool Write(const Bytes& b) {
        pending_.insert(pending_.end(), b.begin(), b.end());
        return pending_.size() < kWriteSize || Flush();
    }
    bool Finish() { return Flush() && file_.commit(); }
    const std::string& Error() const { return file_.error(); }

private:
    static constexpr std::size_t kWriteSize = 1 << 20;
    bool Flush() {
        const bool ok = file_.write(pending_.data(), pending_.size());
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
    std::tm tm{};
    time_t t = st.st_mtime;
    if (localtime_r(&t, &tm) == nullptr) return std::nullopt;
    tm.tm_hour = tm.tm_min = tm.tm_sec = 0;
    tm.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&tm));
}

void Count(const Frame& f, ExportSummary& s) {
    ++s.frames;
    if (f.direction == textlib::kFrameSd) ++s.sd;
    else if (f.direction == textlib::kFrameRd) ++s.rd;
    else ++s.undecided;
    if (f.endStatus == textlib::kEndNg) ++s.fcsErrors;
    if (f.endStatus == textlib::kEndShort) ++s.shortFrames;
    if (f.endStatus == textlib::kEndAbort || f.endStatus == textlib::kEndBreak) ++s.aborts;
}

std::string LostComment(std::int64_t marks) {
    if (marks == 1) return "Data lost before this frame";
    return "Data lost before this frame (" + std::to_string(marks) + " times)";
}

struct Range {
    std::int64_t begin, end;
    int firstBlock, blocks;
};

// The record range of the options, or an error text.
std::string RangeOf(const BufferReader& reader, const ExportOptions& o, Range& r) {
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

// Writes the packets of the range; false when the file could not be written.
bool WritePackets(BufferReader& reader, const Range& range, const Link& link, CaptureClock& clock,
                  OutputFile& out, ExportSummary& s, const ExportProgress& progress) {
    auto frame = std::make_unique<Frame>();
    std::int64_t pendingLost = 0;
    int lastBlock = -1;
    reader.Seek(range.begin);
    while (reader.Pos() < range.end && textlib::NextFrame(reader, *frame, range.end)) {
        if (frame->direction == textlib::kFrameLost) {
            ++pendingLost;
            ++s.lostMarks;
            continue;
        }
        Bytes data = PacketData(link.type, *frame);
        Packet p;
        p.timeUs = clock.TimeUs(frame->timeStamp);
        p.data = data;
        p.flags = PacketFlags(*frame);
        if (pendingLost > 0) p.comment = LostComment(pendingLost);
        pendingLost = 0;
        if (!out.Write(EnhancedPacketBlock(p))) return false;
        Count(*frame, s);
        int block = reader.IsSingleFile() ? 0 : static_cast<int>(reader.Pos() / textlib::kBlockWords);
        if (progress && block != lastBlock) {
            lastBlock = block;
            progress(std::min(block - (range.firstBlock - 1) + 1, range.blocks), range.blocks);
        }
    }
    return true;
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
    if (t == static_cast<std::time_t>(-1) || tm.tm_mday != d) return std::nullopt;   // 31 April and such
    return static_cast<std::int64_t>(t);
}

std::string ExportPcapng(const ExportOptions& o, ExportSummary& s, const ExportProgress& progress) {
    s = {};
    BufferReader reader;
    if (!reader.Open(o.buffer.c_str())) return "cannot open the buffer '" + o.buffer + "'";
    Range range{};
    if (std::string e = RangeOf(reader, o, range); !e.empty()) return e;
    if (o.line == 1) reader.SetFilter(textlib::kHideRd);
    if (o.line == 2) reader.SetFilter(textlib::kHideSd);

    std::optional<std::int64_t> midnight = o.midnight;
    if (!midnight && !reader.IsSingleFile()) midnight = MidnightOfFile(o.buffer + "/" + textlib::kInfoFileName);
    s.onMeasurementDate = midnight.has_value();
    CaptureClock clock(midnight);

    const Link link = LinkFor(reader.Info(textlib::info::kMode), o.frameProtocol);
    s.linkType = link.type;
    OutputFile out(o.output);
    if (!out.IsOpen()) return out.Error();
    bool ok = out.Write(SectionHeaderBlock("zamvex export")) &&
              out.Write(InterfaceBlock(link.type, link.name, link.description)) &&
              WritePackets(reader, range, link, clock, out, s, progress);
    if (!ok || !out.Finish()) return out.Error().empty() ? "cannot write '" + o.output + "'" : out.Error();
    return {};
}

}  // namespace pcapng
