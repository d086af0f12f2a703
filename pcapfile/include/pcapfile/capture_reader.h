// Reads the packets of a capture file, one at a time and without holding the
// file: classic pcap (either byte order, micro- or nanosecond times) and
// pcapng (any number of sections and interfaces; enhanced, simple and
// obsolete packet blocks; the packet flags; interface time resolutions and
// offsets). Other pcapng blocks are passed over.
//
// Errors: Next() is false at the end of the file and on a malformed one;
// Error() is then empty or one line that names the file, the byte offset and
// what is wrong there. A read error carries the system's reason.
// Threads: one thread at a time per reader.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace pcapfile {

// Bytes read in order from the start of the file.
class Source {
public:
    virtual ~Source() = default;
    // Up to `size` bytes into `into`; fewer only at the end or on a read error.
    virtual std::size_t Read(std::uint8_t* into, std::size_t size) = 0;
    // After a short read: the system's reason if it was an error, else empty.
    virtual std::string Failure() const { return {}; }
};

// Bytes in memory (tests, the fuzz target); they must outlive the source.
std::unique_ptr<Source> MemorySource(std::span<const std::uint8_t> bytes);
// A file on disk; nullptr and "PATH: reason" in `error` when it cannot be opened.
std::unique_ptr<Source> FileSource(const std::string& path, std::string& error);

// The longest block or record we take (a serial line's frames are far shorter).
constexpr std::uint32_t kMaxBlockBytes = 4u << 20;

struct Packet {
    std::uint64_t offset = 0;     // where its block or record begins in the file
    std::uint32_t section = 0;    // pcapng section, from 0
    std::uint32_t interface = 0;  // interface in its section (0 in classic pcap)
    std::uint32_t linkType = 0;
    std::optional<std::int64_t> timeNs;  // Unix time in ns; none for a simple packet block
    std::uint32_t originalLength = 0;    // on the wire; above data.size() when cut short
    std::span<const std::uint8_t> data;  // as captured; valid until the next call
    std::optional<std::uint32_t> flags;  // the packet flags word, when the block has one
};

class CaptureReader {
public:
    // `name` is the file name that error texts begin with.
    CaptureReader(std::unique_ptr<Source> source, std::string name);
    ~CaptureReader();
    CaptureReader(const CaptureReader&) = delete;
    CaptureReader& operator=(const CaptureReader&) = delete;

    // The next packet; false at the end of the file or at a fault (see Error()).
    bool Next(Packet& packet);
    // Empty while all is well and at a clean end; else "NAME: at byte N: what".
    const std::string& Error() const;
    bool IsPcapng() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Opens a file for reading; nullptr and the reason in `error` when it cannot.
std::unique_ptr<CaptureReader> OpenCaptureFile(const std::string& path, std::string& error);

}  // namespace pcapfile
