// The receive classifier: one byte at a time, no copying beyond the message.
#include "link/receive_classifier.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "link/crc16.h"
#include "link/framing.h"

namespace commlib {
namespace {

// What a byte outside a message starts; one row per special byte.
struct Introducer {
    std::uint8_t byte;
    int event;    // single-character answer, or 0
    int framing;  // message started, or -1
};
constexpr std::array<Introducer, 8> Introducers{{
    {SYN, 0, FramingSyn},
    {'!', EvEnd, -1},
    {'$', 0, FramingHex},
    {'%', 0, FramingPercent},
    {'&', 0, FramingBinary},
    {'*', EvAck, -1},
    {'/', EvCancel, -1},
    {'?', EvNak, -1},
}};

constexpr bool IntroducersSorted() {
    for (std::size_t i = 1; i < Introducers.size(); ++i)
        if (Introducers[i - 1].byte >= Introducers[i].byte) return false;
    return true;
}
static_assert(IntroducersSorted(), "one row per byte, in byte order");

const Introducer* FindIntroducer(std::uint8_t b) {
    for (const Introducer& row : Introducers)
        if (row.byte == b) return &row;
    return nullptr;
}

int HexValue(std::uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

void ReceiveClassifier::Feed(std::span<const std::uint8_t> bytes, ClassifierSink& sink) {
    const std::uint8_t* p = bytes.data();
    const std::uint8_t* const end = p + bytes.size();
    while (p < end) {
        if (!msg_) {
            Classify(*p++, sink);
        } else if (msg_->framing == FramingBinary) {
            FeedBinary(*p++, sink);
        } else {
            // Frames run to the next SYN and lines to the next CR: copy the
            // run in one go, then let the terminator end the message.
            const std::uint8_t stop = msg_->framing == FramingSyn ? SYN : CR;
            const auto* hit = static_cast<const std::uint8_t*>(std::memchr(p, stop, static_cast<std::size_t>(end - p)));
            const std::uint8_t* runEnd = hit ? hit : end;
            AppendRun(p, runEnd);
            p = runEnd;
            if (!hit) break;
            ++p;
            if (stop == SYN) FeedSyn(SYN, sink);
            else FeedLine(CR, sink);
        }
    }
}

// Appends bytes to the message; what does not fit is dropped.
void ReceiveClassifier::AppendRun(const std::uint8_t* from, const std::uint8_t* to) {
    const auto room = static_cast<std::size_t>(LinkMessage::Capacity - msg_->length);
    const std::size_t n = std::min(room, static_cast<std::size_t>(to - from));
    std::memcpy(msg_->data + msg_->length, from, n);
    msg_->length += static_cast<int>(n);
}

void ReceiveClassifier::Classify(std::uint8_t b, ClassifierSink& sink) {
    if (b == LF || sink.EngineIdle()) return;
    if (const Introducer* row = FindIntroducer(b)) {
        if (row->event != 0) sink.Deliver(row->event, nullptr);
        else msg_ = std::make_unique<LinkMessage>(row->framing);
        return;
    }
    // Anything else, CR included, is the first character of a plain text line.
    msg_ = std::make_unique<LinkMessage>(FramingText);
    msg_->Push(b);
}

// Plain text lines, percent lines and hex blocks all end at CR.
void ReceiveClassifier::FeedLine(std::uint8_t b, ClassifierSink& sink) {
    if (b != CR) {
        msg_->Push(b);
        return;
    }
    switch (msg_->framing) {
    case FramingPercent: sink.Deliver(EvPercentLine, std::move(msg_)); break;
    case FramingHex: Finish(CheckHexBlock(*msg_), sink); break;
    default: Finish(!msg_->Full(), sink); break;
    }
}

void ReceiveClassifier::FeedBinary(std::uint8_t b, ClassifierSink& sink) {
    msg_->Push(b);
    if (msg_->length < 2) return;
    const int declared = msg_->data[0] | (msg_->data[1] << 8);
    // A block longer than a message can hold would never complete and would
    // swallow everything after it; give it up as soon as its length is known.
    // (A message that fills all 2052 bytes counts as overflowed, as for lines.)
    if (declared + 3 >= LinkMessage::Capacity) {
        msg_.reset();
        return;
    }
    if (msg_->length == declared + 3) Finish(CheckBinaryBlock(*msg_), sink);
}

void ReceiveClassifier::FeedSyn(std::uint8_t b, ClassifierSink& sink) {
    if (b != SYN) {
        msg_->Push(b);
        return;
    }
    if (CheckSynFrame(*msg_)) {
        // The closing SYN also opens the next frame.
        sink.Deliver(EvFrame, std::move(msg_));
        msg_ = std::make_unique<LinkMessage>(FramingSyn);
    } else {
        msg_->length = 0;  // the SYN is taken as a new opening
    }
}

// Lines and blocks: a valid one goes to the engine, an invalid one is dropped;
// either way the next byte is classified afresh.
void ReceiveClassifier::Finish(bool valid, ClassifierSink& sink) {
    if (valid) sink.Deliver(EvLine, std::move(msg_));
    msg_.reset();
}

bool CheckHexBlock(LinkMessage& msg) {
    const int chars = msg.length;
    if (msg.Full() || chars < 4 || chars % 2 != 0) return false;
    unsigned sum = 0;
    for (int i = 0; i < chars / 2; ++i) {
        const int hi = HexValue(msg.data[2 * i]);
        const int lo = HexValue(msg.data[2 * i + 1]);
        if (hi < 0 || lo < 0) return false;
        msg.data[i] = static_cast<std::uint8_t>(hi << 4 | lo);  // i <= 2i: safe in place
        sum += msg.data[i];
    }
    if ((sum & 0xFF) != 0) return false;
    msg.length = chars / 2 - 1;  // the check byte goes
    return true;
}

bool CheckBinaryBlock(LinkMessage& msg) {
    if (msg.length < 4) return false;
    unsigned sum = 0;
    for (int i = 0; i < msg.length; ++i) sum += msg.data[i];
    if ((sum & 0xFF) != 0) return false;
    msg.length -= 3;  // two length bytes in front, the check byte at the end
    std::memmove(msg.data, msg.data + 2, static_cast<std::size_t>(msg.length));
    return true;
}

bool CheckSynFrame(LinkMessage& msg) {
    if (msg.length == 0 || msg.Full() || msg.data[msg.length - 1] == DLE) return false;
    // Unstuff in place, a run between DLEs at a time, with the CRC over each run.
    std::uint8_t* const data = msg.data;
    const std::size_t length = static_cast<std::size_t>(msg.length);
    std::uint16_t reg = Crc16Preset;
    std::size_t in = 0, out = 0;
    while (in < length) {
        const auto* dle = static_cast<const std::uint8_t*>(std::memchr(data + in, DLE, length - in));
        const std::size_t run = (dle ? static_cast<std::size_t>(dle - data) : length) - in;
        if (out != in) std::memmove(data + out, data + in, run);
        reg = Crc16x25(reg, std::span(data + out, run));
        in += run;
        out += run;
        if (!dle) break;
        // The last byte is not a DLE, so the escaped byte is there.
        const std::uint8_t b = static_cast<std::uint8_t>(data[in + 1] ^ 0x40);
        reg = Crc16x25Step(reg, b);
        data[out++] = b;
        in += 2;
    }
    if (out <= 3 || reg != Crc16Residue) return false;
    msg.length = static_cast<int>(out) - 2;  // the CRC bytes go
    return true;
}

}  // namespace commlib
