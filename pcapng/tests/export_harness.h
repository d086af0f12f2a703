// Helpers of the export tests: a buffer folder from record words, the
// export itself, and tshark run over the result.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "buffer_builder.h"
#include "pcapng/pcapng_export.h"
#include "testing/temp_dir.h"
#include "textlib/frame_reader.h"

namespace pcapng_test {

using pcapng::ExportOptions;
using pcapng::ExportSummary;

// Writes `words` as a buffer folder (replacing an earlier one) and points
// the options at it and at an output file in the same folder.
inline void WriteSample(testing_util::TempDir& dir, const textlib_test::InfoBody& body,
                        const std::vector<std::uint32_t>& words, ExportOptions& o) {
    std::string buffer = dir.file("buffer");
    std::filesystem::remove_all(buffer);
    std::filesystem::create_directory(buffer);
    textlib_test::WriteBuffer(buffer, body, words);
    o.buffer = buffer;
    o.output = dir.file("out.pcapng");
}

// One packet as tshark decodes it.
struct TsharkPacket {
    std::uint32_t direction = 0;  // epb_flags bits 0-1: 1 inbound, 2 outbound
    bool crcError = false, tooShort = false, symbolError = false;
    std::string comment;
    std::optional<int> q931, x25, ppp;  // message type, packet type, protocol
};

inline bool TsharkInstalled() { return std::system("tshark -v >/dev/null 2>&1") == 0; }

inline std::optional<int> Number(const std::string& field) {
    if (field.empty()) return std::nullopt;
    return static_cast<int>(std::stoul(field, nullptr, 0));
}

// tshark's output for `file`, run as a user with no settings of their own
// (a new home folder, no -o): what a fresh Wireshark shows.
inline std::string Tshark(const std::string& file, const std::string& args) {
    testing_util::TempDir home;
    std::string cmd =
        "unset XDG_CONFIG_HOME; HOME='" + home.path() + "' tshark -n -r '" + file + "' " + args + " 2>/dev/null";
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(cmd.c_str(), "r"), pclose);
    if (!pipe) return out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe.get())) > 0;) out.append(buf, n);
    return out;
}

// Runs tshark over `file` and returns its packets in order; an empty list
// when tshark could not be run.
inline std::vector<TsharkPacket> RunTshark(const std::string& file) {
    const std::string out = Tshark(file,
                                   "-T fields -E separator=/t -E occurrence=f -e frame.packet_flags_direction"
                                   " -e frame.packet_flags_crc_error -e frame.packet_flags_packet_too_short_error"
                                   " -e frame.packet_flags_symbol_error -e q931.message_type -e x25.type"
                                   " -e ppp.protocol -e frame.comment");
    std::vector<TsharkPacket> packets;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> f;
        std::istringstream fields(line);
        for (std::string x; std::getline(fields, x, '\t');) f.push_back(x);
        f.resize(8);
        TsharkPacket p;
        p.direction = static_cast<std::uint32_t>(Number(f[0]).value_or(0)) & 3;
        p.crcError = f[1] == "1" || f[1] == "True";
        p.tooShort = f[2] == "1" || f[2] == "True";
        p.symbolError = f[3] == "1" || f[3] == "True";
        p.q931 = Number(f[4]);
        p.x25 = Number(f[5]);
        p.ppp = Number(f[6]);
        p.comment = f[7];
        packets.push_back(p);
    }
    return packets;
}

// One frame of our own delimitation, with its line in our translation.
struct OurFrame {
    int direction = 0;
    int endStatus = 0;
    bool afterLost = false;
    std::string line;
};

// Cuts the buffer into frames as the translations do and formats each with
// `format` (a function taking a textlib::Frame and returning its line).
template <typename Format>
std::vector<OurFrame> OurFrames(const std::string& buffer, int filter, Format format) {
    textlib::FrameReader reader;
    std::vector<OurFrame> frames;
    if (!reader.Open(buffer.c_str())) return frames;
    reader.SetFilter(filter);
    reader.Seek(0);
    auto f = std::make_unique<textlib::Frame>();
    bool lost = false;
    while (reader.Next(*f)) {
        if (f->direction == textlib::kFrameLost) {
            lost = true;
            continue;
        }
        frames.push_back({f->direction, f->endStatus, lost, std::string(format(*f))});
        lost = false;
    }
    return frames;
}

}  // namespace pcapng_test
