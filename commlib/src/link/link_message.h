// One message on the serial link: a received line, block or frame, or bytes
// to send. Each lives on the heap and has one owner at a time; it changes
// owner with the thread message that carries it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace commlib {

// How a message was (or will be) framed on the line.
inline constexpr int FramingText = 0;     // plain text line
inline constexpr int FramingSyn = 1;      // SYN frame (packet)
inline constexpr int FramingPercent = 2;  // "%" line
inline constexpr int FramingHex = 3;      // "$" hex block
inline constexpr int FramingBinary = 4;   // "&" binary block

// Thread message numbers between the four threads.
inline constexpr unsigned MsgLink = 0x8000;     // link message or link event
inline constexpr unsigned MsgRequest = 0x8001;  // request from Remote::Request

// wParam of MsgLink to the writer: how to put the message on the line.
inline constexpr int WriteRaw = 2;
inline constexpr int WriteFrame = 3;

// Link events: wParam of MsgLink to the protocol thread (12 goes to the reader).
inline constexpr int EvReplyTimer = 1;   // the engine's own reply timer expired
inline constexpr int EvWriteDone = 4;    // writer: a write completed
inline constexpr int EvAck = 5;          // "*" outside a message
inline constexpr int EvNak = 6;          // "?" outside a message
inline constexpr int EvCancel = 7;       // "/" outside a message
inline constexpr int EvEnd = 8;          // "!" outside a message
inline constexpr int EvPercentLine = 9;  // percent line complete
inline constexpr int EvLine = 10;        // text line, hex block or binary block, checked
inline constexpr int EvFrame = 11;       // SYN frame with a good CRC
inline constexpr int EvDiscard = 12;     // to the reader: drop the partial message
inline constexpr int EvLineGone = 13;    // reader or writer: the port failed for good (unplugged, hung up)

struct LinkMessage {
    static constexpr int Capacity = 2052;

    // Data is left uninitialised on purpose: the reader allocates one message
    // per received line or frame, and only the first Length bytes count.
    explicit LinkMessage(int framing = FramingText) noexcept : framing(framing) {}

    int framing;
    int length = 0;
    std::uint8_t data[Capacity];

    // Appends one byte; bytes beyond the capacity are dropped (false).
    bool Push(std::uint8_t b) noexcept {
        if (length >= Capacity) return false;
        data[length++] = b;
        return true;
    }
    // Appends bytes; false when some did not fit (those are dropped).
    bool Append(std::span<const std::uint8_t> bytes) noexcept {
        bool all = true;
        for (std::uint8_t b : bytes) all = Push(b) && all;
        return all;
    }
    bool Append(std::string_view text) noexcept {
        return Append(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    }
    bool Full() const noexcept { return length >= Capacity; }
    std::span<const std::uint8_t> Bytes() const noexcept { return {data, static_cast<std::size_t>(length)}; }
};

// A new heap message holding the given bytes (cut at the capacity).
std::unique_ptr<LinkMessage> MakeMessage(int framing, std::span<const std::uint8_t> bytes);
std::unique_ptr<LinkMessage> MakeMessage(int framing, std::string_view text);

}  // namespace commlib
