// Fuzz target: any bytes read as a capture file. Nothing may crash or hang;
// every packet's bytes lie inside the file and within the reader's limit, and
// a reader that stops early says why, naming the file and an offset in it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "pcapfile/capture_reader.h"
#include "pcapfile/upper_pdu.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pcapfile::CaptureReader reader(pcapfile::MemorySource({data, size}), "f");
    pcapfile::Packet p;
    std::uint64_t last = 0;
    std::size_t packets = 0;
    while (reader.Next(p)) {
        Check(p.data.size() <= pcapfile::kMaxBlockBytes && p.data.size() <= size);
        Check(p.originalLength >= p.data.size());
        Check(packets == 0 || p.offset > last);
        Check(p.offset < size);
        last = p.offset;
        ++packets;
        if (const auto pdu = pcapfile::ParseUpperPdu(p.data)) Check(pdu->payload.size() < p.data.size());
    }
    const std::string& e = reader.Error();
    Check(e.empty() || e.rfind("f: at byte ", 0) == 0);
    // A clean end only where the data end: one more read finds nothing either.
    Check(!reader.Next(p));
    return 0;
}
