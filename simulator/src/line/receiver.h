// The analyzer's side of the line input: cuts the PC's bytes into attention
// sequences, answer characters, "%" commands, data blocks and checked packets.
// Pure: bytes in, events out.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace simulator {

struct Incoming {
    enum class Kind { Attention, Char, Command, Block, Frame };
    Kind kind = Kind::Char;
    std::uint8_t ch = 0;             // Char: "*", "!", "/" or "?"
    std::string text;                // Command: the line after "%" without CR/LF
    std::vector<std::uint8_t> data;  // Block: decoded data; Frame: packet without CRC
};

class Receiver {
public:
    // In packet mode only SYN frames (and "###") are recognised.
    void set_packet_mode(bool on);
    bool packet_mode() const { return packet_; }
    void feed(std::uint8_t b, std::vector<Incoming>& out);
    void clear();

private:
    enum class Text { Idle, Percent, Binary, Hex };
    void feed_text(std::uint8_t b, std::vector<Incoming>& out);
    void feed_packet(std::uint8_t b, std::vector<Incoming>& out);
    void finish_binary(std::vector<Incoming>& out);
    void finish_hex(std::vector<Incoming>& out);
    void finish_frame(std::vector<Incoming>& out);

    bool packet_ = false;
    Text text_ = Text::Idle;
    int hashes_ = 0;
    std::vector<std::uint8_t> buf_;
    bool in_frame_ = false;
};

// A received SYN frame's body (between the SYNs, still stuffed): the packet
// without its CRC when the stuffing and the CRC are good, else false.
bool unframe(const std::vector<std::uint8_t>& stuffed, std::vector<std::uint8_t>& packet);

// A packet as a SYN frame; `corrupt` breaks its CRC on purpose (fault switch).
std::vector<std::uint8_t> frame_packet(const std::vector<std::uint8_t>& packet, bool corrupt = false);

}  // namespace simulator
