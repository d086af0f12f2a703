// Cutting the PC's byte stream into what the analyzer acts on. Text mode knows
// "###", single answer characters, "%" command lines and "&"/"$" blocks;
// packet mode knows SYN frames, and "###" sent between frames.
#include "line/receiver.h"

#include "line/wire.h"

namespace simulator {
namespace {

constexpr std::size_t kMaxCommand = 80;
constexpr std::size_t kMaxHex = 2 * 2048 + 2;
constexpr std::size_t kMaxFrame = 2 * 2052 + 4;

int hex_value(std::uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

void Receiver::set_packet_mode(bool on) {
    packet_ = on;
    clear();
}

void Receiver::clear() {
    text_ = Text::Idle;
    hashes_ = 0;
    buf_.clear();
    in_frame_ = false;
}

void Receiver::feed(std::uint8_t b, std::vector<Incoming>& out) {
    if (packet_) feed_packet(b, out);
    else feed_text(b, out);
}

void Receiver::feed_text(std::uint8_t b, std::vector<Incoming>& out) {
    switch (text_) {
    case Text::Percent:
        if (b == '\r') {
            out.push_back({Incoming::Kind::Command, 0, std::string(buf_.begin(), buf_.end()), {}});
            text_ = Text::Idle;
        } else if (b != '\n') {
            buf_.push_back(b);
            if (buf_.size() > kMaxCommand) text_ = Text::Idle;  // not a command of ours
        }
        return;
    case Text::Binary:
        buf_.push_back(b);
        if (buf_.size() >= 2) {
            const std::size_t length = buf_[0] | std::size_t{buf_[1]} << 8;
            if (length > 2048) text_ = Text::Idle;
            else if (buf_.size() == length + 3) finish_binary(out);
        }
        return;
    case Text::Hex:
        if (b == '\r') finish_hex(out);
        else if (buf_.size() < kMaxHex) buf_.push_back(b);
        else text_ = Text::Idle;
        return;
    case Text::Idle: break;
    }
    hashes_ = b == '#' ? hashes_ + 1 : 0;
    if (hashes_ == 3) {
        hashes_ = 0;
        out.push_back({Incoming::Kind::Attention, 0, {}, {}});
        return;
    }
    buf_.clear();
    if (b == '%') text_ = Text::Percent;
    else if (b == '&') text_ = Text::Binary;
    else if (b == '$') text_ = Text::Hex;
    else if (b == '*' || b == '!' || b == '/' || b == '?') out.push_back({Incoming::Kind::Char, b, {}, {}});
}

void Receiver::finish_binary(std::vector<Incoming>& out) {
    text_ = Text::Idle;
    unsigned sum = 0;
    for (std::uint8_t v : buf_) sum += v;
    if (sum % 256 != 0) return;  // a damaged block is dropped; the PC's reply timer notices
    out.push_back({Incoming::Kind::Block, 0, {}, std::vector<std::uint8_t>(buf_.begin() + 2, buf_.end() - 1)});
}

void Receiver::finish_hex(std::vector<Incoming>& out) {
    text_ = Text::Idle;
    if (buf_.size() < 4 || buf_.size() % 2 != 0) return;
    std::vector<std::uint8_t> data;
    unsigned sum = 0;
    for (std::size_t i = 0; i < buf_.size(); i += 2) {
        const int hi = hex_value(buf_[i]);
        const int lo = hex_value(buf_[i + 1]);
        if (hi < 0 || lo < 0) return;
        data.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
        sum += data.back();
    }
    if (sum % 256 != 0) return;
    data.pop_back();
    out.push_back({Incoming::Kind::Block, 0, {}, std::move(data)});
}

void Receiver::feed_packet(std::uint8_t b, std::vector<Incoming>& out) {
    if (b == kSyn) {
        if (in_frame_ && !buf_.empty()) finish_frame(out);
        buf_.clear();
        in_frame_ = true;
        return;
    }
    if (buf_.size() < kMaxFrame) buf_.push_back(b);
    // A PC that lost the session starts again with "###" between frames.
    if (buf_.size() == 3 && buf_[0] == '#' && buf_[1] == '#' && buf_[2] == '#') {
        buf_.clear();
        in_frame_ = false;
        out.push_back({Incoming::Kind::Attention, 0, {}, {}});
    }
}

void Receiver::finish_frame(std::vector<Incoming>& out) {
    std::vector<std::uint8_t> packet;
    if (unframe(buf_, packet)) out.push_back({Incoming::Kind::Frame, 0, {}, std::move(packet)});
}

bool unframe(const std::vector<std::uint8_t>& stuffed, std::vector<std::uint8_t>& packet) {
    packet.clear();
    if (stuffed.empty() || stuffed.back() == kDle) return false;
    for (std::size_t i = 0; i < stuffed.size(); ++i) {
        if (stuffed[i] == kDle) packet.push_back(static_cast<std::uint8_t>(stuffed[++i] ^ 0x40));
        else packet.push_back(stuffed[i]);
    }
    if (packet.size() <= 3) return false;
    const std::size_t n = packet.size() - 2;
    const std::uint16_t crc = crc16_x25(std::span(packet.data(), n));
    if (packet[n] != (crc & 0xFF) || packet[n + 1] != (crc >> 8)) return false;
    packet.resize(n);
    return true;
}

std::vector<std::uint8_t> frame_packet(const std::vector<std::uint8_t>& packet, bool corrupt) {
    std::uint16_t crc = crc16_x25(packet);
    if (corrupt) crc ^= 0x0001;
    std::vector<std::uint8_t> out{kSyn};
    auto put = [&out](std::uint8_t v) {
        if (needs_stuffing(v)) {
            out.push_back(kDle);
            out.push_back(static_cast<std::uint8_t>(v ^ 0x40));
        } else {
            out.push_back(v);
        }
    };
    for (std::uint8_t v : packet) put(v);
    put(static_cast<std::uint8_t>(crc & 0xFF));
    put(static_cast<std::uint8_t>(crc >> 8));
    out.push_back(kSyn);
    return out;
}

}  // namespace simulator
