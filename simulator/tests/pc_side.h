// The PC's side of a scripted exchange with the pure Analyzer: sends text or
// packets and cuts the analyzer's answer into SYN-frame packets.
#pragma once
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "line/receiver.h"
#include "link/framing.h"
#include "simulator/analyzer.h"

namespace simulator::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes bytes(const std::string& s) { return Bytes(s.begin(), s.end()); }
inline std::string text(const Bytes& b) { return std::string(b.begin(), b.end()); }

// Packets in the analyzer's output (frames with a bad CRC are left out).
inline std::vector<Bytes> packets_in(const Bytes& line) {
    std::vector<Bytes> packets;
    Bytes body;
    bool open = false;
    for (std::uint8_t b : line) {
        if (b != commlib::SYN) {
            if (open) body.push_back(b);
            continue;
        }
        if (open && !body.empty()) {
            Bytes p;
            if (unframe(body, p)) packets.push_back(p);
            open = false;
        } else {
            open = true;
        }
        body.clear();
    }
    return packets;
}

class PcSide {
public:
    explicit PcSide(Analyzer& a) : a_(a) {}

    Bytes send(const Bytes& b) { return a_.receive(b, now); }
    Bytes send(const std::string& s) { return send(bytes(s)); }
    Bytes tick(std::uint64_t ms) {
        now += ms;
        return a_.tick(now);
    }

    // Sends a packet (numbered when its kind is above "?") and returns the answer's packets.
    std::vector<Bytes> packet(Bytes p) {
        if (p.size() >= 2 && p[0] > '?') p[1] = seq++;
        return packets_in(send(commlib::SynFrame(p)));
    }

    // "###", "%@X" and the reset: the analyzer is then in packet mode.
    void enter_packet_mode() {
        send("###");
        send("%@X\r\n");
        packet({'0', 0});
        seq = 0;
    }

    std::uint64_t now = 0;
    std::uint8_t seq = 0;

private:
    Analyzer& a_;
};

inline Bytes le16(unsigned v) { return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)}; }

// A "@" request (sequence number filled in when sent).
inline Bytes request(std::uint8_t id, std::uint8_t sub, const Bytes& args) {
    // Sized up front: g++ 12 misreads an insert into a short vector as out of bounds.
    Bytes p(4 + args.size(), 0);
    p[0] = '@';
    p[2] = id;
    p[3] = sub;
    std::copy(args.begin(), args.end(), p.begin() + 4);
    return p;
}

}  // namespace simulator::test
