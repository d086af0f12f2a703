// The reader's start (which format, which byte order) and classic pcap's
// records: a 24-byte file header, then a 16-byte header before each packet.
#include "pcapfile/capture_reader.h"

#include "pcapfile/capture_format.h"
#include "reader_state.h"

namespace pcapfile {
namespace {

std::string Hex(const std::uint8_t* b, std::size_t n) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string s;
    for (std::size_t k = 0; k < n; ++k) {
        if (k > 0) s += ' ';
        s += kDigits[b[k] >> 4];
        s += kDigits[b[k] & 0xF];
    }
    return s;
}

}  // namespace

std::size_t CaptureReader::Impl::Take(std::uint8_t* into, std::size_t n) {
    std::size_t got = 0;
    while (pushedCount > 0 && got < n) {
        into[got++] = pushed[4 - pushedCount];
        --pushedCount;
    }
    while (got < n) {
        const std::size_t k = source->Read(into + got, n - got);
        if (k == 0) break;
        got += k;
    }
    offset += got;
    return got;
}

bool CaptureReader::Impl::Fail(std::uint64_t at, const std::string& what) {
    error = name + ": at byte " + std::to_string(at) + ": " + what;
    format = Format::Over;
    return false;
}

bool CaptureReader::Impl::TakeAll(std::uint8_t* into, std::size_t n, std::uint64_t at, const char* unit,
                                  std::uint64_t announced) {
    const std::uint64_t before = offset - at;
    const std::size_t got = Take(into, n);
    if (got == n) return true;
    if (std::string why = source->Failure(); !why.empty()) return Fail(offset, "cannot read: " + why);
    return Fail(at, std::string("the file ends inside ") + unit + " that begins here: it needs " +
                        std::to_string(announced) + " bytes, " + std::to_string(before + got) + " are there");
}

bool CaptureReader::Impl::Begin() {
    std::uint8_t magic[4];
    const std::size_t got = Take(magic, 4);
    if (got < 4 && !source->Failure().empty()) return Fail(0, "cannot read: " + source->Failure());
    if (got == 0) return Fail(0, "the file is empty");
    if (got < 4) return Fail(0, "the file is too short to be a capture file (" + std::to_string(got) + " bytes)");
    const std::uint32_t little = ByteOrder{false}.U32(magic), big = ByteOrder{true}.U32(magic);
    if (little == kSectionHeader) {
        std::copy(magic, magic + 4, pushed);
        pushedCount = 4;
        offset = 0;
        format = Format::Pcapng;
        pcapng = true;
        return true;
    }
    for (const ByteOrder o : {ByteOrder{false}, ByteOrder{true}}) {
        const std::uint32_t m = o.big ? big : little;
        if (m == kPcapMagicModified) return Fail(0, "the modified pcap format (magic A1B2CD34) is not read");
        if (m != kPcapMagicMicroseconds && m != kPcapMagicNanoseconds) continue;
        order = o;
        nanoseconds = m == kPcapMagicNanoseconds;
        std::uint8_t h[kPcapHeaderBytes];
        if (!TakeAll(h + 4, kPcapHeaderBytes - 4, 0, "the file header", kPcapHeaderBytes)) return false;
        const std::uint16_t major = order.U16(h + 4), minor = order.U16(h + 6);
        if (major != 2)
            return Fail(
                4, "pcap version " + std::to_string(major) + "." + std::to_string(minor) + " is not read (only 2.x)");
        pcapLinkType = order.U32(h + 20) & 0x03FFFFFF;  // the upper bits tell of an FCS, not the link
        format = Format::Pcap;
        return true;
    }
    return Fail(0, "not a pcap or pcapng file (it begins " + Hex(magic, 4) + ")");
}

bool CaptureReader::Impl::NextPcap(Packet& p) {
    const std::uint64_t at = offset;
    std::uint8_t h[kPcapRecordHeaderBytes];
    const std::size_t got = Take(h, sizeof h);
    if (got == 0) {
        if (std::string why = source->Failure(); !why.empty()) return Fail(at, "cannot read: " + why);
        format = Format::Over;
        return false;
    }
    if (got < sizeof h && !TakeAll(h + got, sizeof h - got, at, "the record", sizeof h)) return false;
    const std::uint32_t captured = order.U32(h + 8), original = order.U32(h + 12);
    if (captured > kMaxBlockBytes)
        return Fail(at, "a record of " + std::to_string(captured) + " captured bytes is longer than the " +
                            std::to_string(kMaxBlockBytes >> 20) + " MiB this reader takes");
    block.resize(captured);
    if (!TakeAll(block.data(), captured, at, "the record", sizeof h + std::uint64_t{captured})) return false;
    const std::int64_t seconds = order.U32(h), fraction = order.U32(h + 4);
    p = Packet{};
    p.offset = at;
    p.linkType = pcapLinkType;
    p.timeNs = seconds * 1'000'000'000 + fraction * (nanoseconds ? 1 : 1000);
    p.originalLength = original < captured ? captured : original;
    p.data = block;
    return true;
}

bool CaptureReader::Impl::Next(Packet& p) {
    if (format == Format::Start && !Begin()) return false;
    switch (format) {
    case Format::Pcap: return NextPcap(p);
    case Format::Pcapng: return NextPcapng(p);
    default: return false;
    }
}

CaptureReader::CaptureReader(std::unique_ptr<Source> source, std::string name) : impl_(std::make_unique<Impl>()) {
    impl_->source = std::move(source);
    impl_->name = std::move(name);
}

CaptureReader::~CaptureReader() = default;

bool CaptureReader::Next(Packet& packet) { return impl_->Next(packet); }
const std::string& CaptureReader::Error() const { return impl_->error; }
bool CaptureReader::IsPcapng() const { return impl_->pcapng; }

}  // namespace pcapfile
