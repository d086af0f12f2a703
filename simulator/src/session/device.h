// Everything one simulated analyzer holds, shared by the text-mode and the
// packet-mode handlers. The handlers write what the analyzer sends through
// the output functions here, which also apply the fault switches.
#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "line/receiver.h"
#include "measure/measurement.h"
#include "screen/panel.h"
#include "sets/data_store.h"
#include "simulator/options.h"

namespace simulator {

// A data set going out in text mode, block by block, each acknowledged with "*".
struct TextSend {
    std::vector<std::uint8_t> bytes;
    std::size_t offset = 0;
    std::uint64_t deadline_ms = 0;
};

// A data set coming in, in either dialect.
struct IncomingSet {
    SetKind kind = SetKind::Setup;
    std::vector<std::uint8_t> bytes;
    std::uint8_t id = 0;     // packet mode: the request id of the put
    std::uint16_t item = 0;  // packet mode: the item named in the put
    std::uint64_t deadline_ms = 0;
};

struct Device {
    Device(const AnalyzerOptions& options, std::uint64_t now_ms);

    AnalyzerOptions options;
    DataStore store;
    Measurement measurement;
    Panel panel;
    Receiver receiver;

    bool packet = false;
    bool dead = false;  // a "line goes dead" fault has struck
    std::uint64_t now = 0;
    std::vector<std::uint8_t> out;  // bytes sent during the current call

    std::optional<TextSend> text_send;
    std::optional<IncomingSet> receiving;

    std::uint8_t tx_seq = 0;
    std::uint8_t rx_seq = 0;
    std::map<std::uint8_t, std::vector<std::uint8_t>> sent;  // sequenced packets, for repeats
    std::map<std::uint16_t, bool> subscribed;
    std::uint16_t reported_status = 0;
    std::uint64_t next_update_ms = 0;  // the running counters go out once a second
    std::uint8_t supervision = 0;      // link supervision value the PC asked for (0 = off)
    std::uint64_t next_keep_alive_ms = 0;

    std::uint64_t frames = 0;       // SYN frames sent (fault switches count them)
    std::uint64_t text_blocks = 0;  // data blocks sent in text mode
    std::deque<std::pair<std::uint64_t, std::vector<std::uint8_t>>> held;  // delayed frames

    // Output.
    void send_text(std::string_view text);
    void send_bytes(const std::vector<std::uint8_t>& bytes);
    // Numbers kinds above "?" with the next sequence number and frames it.
    void send_packet(std::vector<std::uint8_t> packet);
    void send_frame(const std::vector<std::uint8_t>& packet);
    // Item notification "2" when the PC subscribed to the item.
    void notify(std::uint16_t item, const std::vector<std::uint8_t>& value);
    void send_item(std::uint16_t item, const std::vector<std::uint8_t>& value);
    void send_info();
    bool wants(std::uint16_t item) const;
    void release_held();

    // Shared actions.
    void press_key(int code);
    bool start_measurement();
    void stop_measurement(int reason);
    void report_status();
    void send_updates();
    // Link supervision: the PC's request, and our "1" keep-alive while it is on.
    void supervise(std::uint8_t value);
    void send_keep_alive();
    void enter_packet_mode(bool on);
    std::vector<std::uint8_t> screen() const;
    std::string version_text() const;
};

// Text-command mode and packet mode: one incoming event each.
void handle_text(Device& d, const Incoming& in);
void text_timeouts(Device& d);
void handle_packet(Device& d, const std::vector<std::uint8_t>& packet);
void handle_request(Device& d, std::uint8_t id, std::uint8_t sub, const std::vector<std::uint8_t>& args);

}  // namespace simulator
