// Text-command mode: "###", the "%" commands, data sets sent as blocks that
// the PC acknowledges one by one, data sets received as blocks, and "!" / "/".
#include <cstdio>
#include <cstdlib>

#include "line/wire.h"
#include "session/device.h"

namespace simulator {
namespace {

constexpr std::size_t kTextBlock = 128;
constexpr std::uint64_t kTextTimeoutMs = 10000;
constexpr std::size_t kLargestSet = kTable3Fixed + kTable3MaxExtra;

std::vector<std::uint8_t> hex_block(std::span<const std::uint8_t> data) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::vector<std::uint8_t> out{'$'};
    unsigned sum = 0;
    auto put = [&out](std::uint8_t v) {
        out.push_back(static_cast<std::uint8_t>(kHex[v >> 4]));
        out.push_back(static_cast<std::uint8_t>(kHex[v & 15]));
    };
    for (std::uint8_t v : data) {
        put(v);
        sum += v;
    }
    put(static_cast<std::uint8_t>(-sum & 0xFF));
    out.insert(out.end(), {'\r', '\n'});
    return out;
}

// The next block of a data set going out, or "!" when all of it went.
void send_next_block(Device& d) {
    TextSend& s = *d.text_send;
    if (s.offset >= s.bytes.size()) {
        d.send_text("!");
        d.text_send.reset();
        return;
    }
    const std::size_t n = std::min(kTextBlock, s.bytes.size() - s.offset);
    const std::span<const std::uint8_t> piece(s.bytes.data() + s.offset, n);
    s.offset += n;
    s.deadline_ms = d.now + kTextTimeoutMs;
    ++d.text_blocks;
    if (d.options.faults.silent_after_blocks && d.text_blocks > *d.options.faults.silent_after_blocks) {
        d.dead = true;
        return;
    }
    if (d.options.hex_blocks) {
        d.send_bytes(hex_block(piece));
    } else {
        d.send_bytes(binary_block(piece));
    }
}

std::optional<int> key_code(const std::string& hex) {
    if (hex.size() != 2 && hex.size() != 4) return std::nullopt;
    char* end = nullptr;
    const long code = std::strtol(hex.c_str(), &end, 16);
    if (*end != '\0') return std::nullopt;
    return static_cast<int>(code);
}

void command_get(Device& d, char digit) {
    const auto kind = set_for_digit(digit);
    if (!kind || !d.store.has(*kind)) {
        d.send_text("?");
        return;
    }
    d.receiving.reset();
    d.text_send = TextSend{d.store.bytes(*kind), 0, 0};
    d.send_text("*");
    send_next_block(d);
}

void command_put(Device& d, char digit) {
    const auto kind = set_for_digit(digit);
    if (!kind || !d.store.has(*kind)) {
        d.send_text("?");
        return;
    }
    if (*kind == SetKind::Setup && d.measurement.running()) {
        d.send_text("/");  // the setup cannot change under a running measurement
        return;
    }
    d.text_send.reset();
    d.receiving = IncomingSet{*kind, {}, 0, 0, d.now + kTextTimeoutMs};
    d.send_text("*");
}

void command(Device& d, const std::string& text) {
    if (text == "@X") {
        if (d.options.text_only) {
            d.send_text("?");
            return;
        }
        d.send_text("*");
        d.enter_packet_mode(true);
    } else if (text == "T0") {
        d.send_text("*");
        d.send_text(std::string(model_name(d.options.model)) + " " + d.version_text() + "\r\n");
    } else if (text.size() == 2 && text[0] == 'T') {
        command_get(d, text[1]);
    } else if (text.size() == 2 && text[0] == 'R') {
        command_put(d, text[1]);
    } else if (text.size() > 1 && text[0] == 'K' && key_code(text.substr(1))) {
        const int code = *key_code(text.substr(1));
        if (code == kKeyRun && !d.start_measurement()) {
            d.panel.press(code);
            d.send_text("/");  // refused; the stop reason tells why
            return;
        }
        d.send_text("*");
        d.press_key(code);
    } else if (text == "Q") {
        d.text_send.reset();
        d.receiving.reset();
        d.send_text("*");
    } else {
        d.send_text("?");
    }
}

void answer_char(Device& d, std::uint8_t ch) {
    if (d.text_send) {
        if (ch == '*') send_next_block(d);
        else d.text_send.reset();  // "/" cancels, "?" means the PC gave up
        return;
    }
    if (d.receiving) {
        if (ch == '!') d.store.put(d.receiving->kind, std::move(d.receiving->bytes));
        if (ch == '!' || ch == '/') d.receiving.reset();
    }
}

}  // namespace

void handle_text(Device& d, const Incoming& in) {
    switch (in.kind) {
    case Incoming::Kind::Attention:
        d.text_send.reset();
        d.receiving.reset();
        d.send_text("*");
        break;
    case Incoming::Kind::Command: command(d, in.text); break;
    case Incoming::Kind::Char: answer_char(d, in.ch); break;
    case Incoming::Kind::Block:
        if (!d.receiving) break;
        if (d.receiving->bytes.size() + in.data.size() > kLargestSet) {
            // More than any data set holds: refuse instead of growing without end.
            d.receiving.reset();
            d.send_text("?");
            break;
        }
        d.receiving->bytes.insert(d.receiving->bytes.end(), in.data.begin(), in.data.end());
        d.receiving->deadline_ms = d.now + kTextTimeoutMs;
        d.send_text("*");
        break;
    case Incoming::Kind::Frame: break;
    }
}

void text_timeouts(Device& d) {
    // A PC that went away mid-transfer must not leave the analyzer waiting forever.
    if (d.text_send && d.now >= d.text_send->deadline_ms) d.text_send.reset();
    if (d.receiving && !d.packet && d.now >= d.receiving->deadline_ms) d.receiving.reset();
}

}  // namespace simulator
