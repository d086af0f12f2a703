// The engine's vocabulary as data: what each state is for, the data-set
// transfers of both dialects, the pending markers and the order in which a
// failure reaches them, and the subscription the engine asks for.
#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "commlib/remote.h"
#include "engine/engine_state.h"

namespace commlib::engine {

// What a state does with a link event; the engine runs one handler per group.
enum class Group : std::uint8_t {
    Idle,         // no session, every event ignored
    Attention,    // "###" sent
    Switch,       // "%@X\r\n" sent
    Identify,     // "%T0\r\n" sent
    IdentLine,    // waiting for the identification line
    TextSession,  // connected in text mode, events ignored
    Packet,       // connected in packet mode
    Command,      // quit, key, measure start and stop sent
    GetFirst,     // get command sent
    GetReceive,   // receiving a data set
    PutFirst,     // put command sent
    PutSend,      // sending a data set
};

// Data sets in the order the engine keeps them.
enum class Set : std::uint8_t { Setup, Table, Program, Table3, Info, Screen };
inline constexpr int SetCount = 6;

inline constexpr int NoCode = 0;

struct StateRow {
    State state;
    Group group;
    bool automatic;  // reached by ReqAutoConnect: failures re-arm the countdown instead of notifying
    bool silent;     // no usable reply timer: the silence watchdog ends the wait
    int code;        // the request this state carries out (Command, transfers)
    int transfer;    // row of Transfers for the transfer states, else -1
};

inline constexpr std::array<StateRow, 33> States{{
    {State::Idle, Group::Idle, false, false, NoCode, -1},
    {State::Attention, Group::Attention, false, false, ReqConnect, -1},
    {State::AttentionAgain, Group::Attention, false, true, ReqConnect, -1},
    {State::AutoAttention, Group::Attention, true, true, NtfyAutoConnected, -1},
    {State::Quit, Group::Command, false, false, ReqDisconnect, -1},
    {State::TextSession, Group::TextSession, false, false, NoCode, -1},
    {State::PacketSession, Group::Packet, false, false, ReqConnect, -1},
    {State::AutoPacketSession, Group::Packet, true, false, NtfyAutoConnected, -1},
    {State::Key, Group::Command, false, false, ReqKey, -1},
    {State::MeasureStart, Group::Command, false, false, ReqMeasure, -1},
    {State::MeasureStop, Group::Command, false, false, ReqMeasure, -1},
    {State::Identify, Group::Identify, false, false, ReqConnect, -1},
    {State::AutoIdentify, Group::Identify, true, false, NtfyAutoConnected, -1},
    {State::IdentLine, Group::IdentLine, false, true, ReqConnect, -1},
    {State::AutoIdentLine, Group::IdentLine, true, true, NtfyAutoConnected, -1},
    {State::GetSetup, Group::GetFirst, false, false, ReqGetSetup, 0},
    {State::GetSetupReceive, Group::GetReceive, false, true, ReqGetSetup, 0},
    {State::GetTable, Group::GetFirst, false, false, ReqGetTable, 1},
    {State::GetTableReceive, Group::GetReceive, false, true, ReqGetTable, 1},
    {State::GetTable3, Group::GetFirst, false, false, ReqGetTable3, 3},
    {State::GetTable3Receive, Group::GetReceive, false, true, ReqGetTable3, 3},
    {State::GetProgram, Group::GetFirst, false, false, ReqGetProgram, 2},
    {State::GetProgramReceive, Group::GetReceive, false, true, ReqGetProgram, 2},
    {State::PutSetup, Group::PutFirst, false, false, ReqPutSetup, 0},
    {State::PutSetupSend, Group::PutSend, false, true, ReqPutSetup, 0},
    {State::PutTable, Group::PutFirst, false, false, ReqPutTable, 1},
    {State::PutTableSend, Group::PutSend, false, true, ReqPutTable, 1},
    {State::PutTable3, Group::PutFirst, false, false, ReqPutTable3, 3},
    {State::PutTable3Send, Group::PutSend, false, true, ReqPutTable3, 3},
    {State::PutProgram, Group::PutFirst, false, false, ReqPutProgram, 2},
    {State::PutProgramSend, Group::PutSend, false, true, ReqPutProgram, 2},
    {State::SwitchToPacket, Group::Switch, false, false, ReqConnect, -1},
    {State::AutoSwitchToPacket, Group::Switch, true, false, NtfyAutoConnected, -1},
}};

constexpr bool StatesSorted() {
    for (std::size_t i = 1; i < States.size(); ++i)
        if (States[i - 1].state >= States[i].state) return false;
    return true;
}
static_assert(StatesSorted(), "States is searched by state number");

// The row of a state; unknown numbers behave as idle.
constexpr const StateRow& RowOfState(State state) {
    auto it =
        std::lower_bound(States.begin(), States.end(), state, [](const StateRow& r, State s) { return r.state < s; });
    return (it != States.end() && it->state == state) ? *it : States[0];
}

// Pending markers: one bit each, numbered in the order a failure reaches them.
namespace marker {
inline constexpr std::uint32_t SessionEnd = 1u << 0;
inline constexpr std::uint32_t Exit = 1u << 1;
inline constexpr std::uint32_t ConnectQuery = 1u << 2;
inline constexpr std::uint32_t Subscription = 1u << 3;
inline constexpr std::uint32_t MeasureStart = 1u << 4;
inline constexpr std::uint32_t StopReason = 1u << 5;
// Transfers: get pairs from bit 6 (requested, receiving), put pairs from bit 16 (requested, sending).
constexpr std::uint32_t GetRequested(int row) { return 1u << (6 + 2 * row); }
constexpr std::uint32_t GetReceiving(int row) { return 1u << (7 + 2 * row); }
constexpr std::uint32_t PutRequested(int row) { return 1u << (16 + 2 * row); }
constexpr std::uint32_t PutSending(int row) { return 1u << (17 + 2 * row); }
inline constexpr std::uint32_t Supervision = 1u << 24;  // no application waits for it: never failed
}  // namespace marker

// One row per data set that travels between analyzer and PC, in the order a failure reaches them.
struct Transfer {
    Set set;
    int getCode, putCode;         // request codes (putCode NoCode: cannot be sent)
    std::uint8_t getId, putId;    // packet-mode request ids
    std::uint16_t item;           // packet-mode item
    std::string_view getCommand;  // text mode (empty: packet mode only)
    std::string_view putCommand;
    State getState, putState;  // first text-mode state of each direction (Idle: none)
};

inline constexpr std::array<Transfer, 5> Transfers{{
    {Set::Setup, ReqGetSetup, ReqPutSetup, 4, 8, 0x2000, "%T1\r\n", "%R1\r\n", State::GetSetup, State::PutSetup},
    {Set::Table, ReqGetTable, ReqPutTable, 5, 9, 0x6000, "%T2\r\n", "%R2\r\n", State::GetTable, State::PutTable},
    {Set::Program, ReqGetProgram, ReqPutProgram, 6, 10, 0x7000, "%T5\r\n", "%R5\r\n", State::GetProgram,
     State::PutProgram},
    {Set::Table3, ReqGetTable3, ReqPutTable3, 7, 11, 0x8000, "%T3\r\n", "%R3\r\n", State::GetTable3, State::PutTable3},
    {Set::Screen, ReqGetScreen, NoCode, 17, 0, 0xF000, "", "", State::Idle, State::Idle},
}};
inline constexpr int UploadCount = 4;  // the first four rows can be sent

// Requests and answers find their row by code or id: each must name one row only.
constexpr bool TransfersUnique() {
    for (std::size_t i = 0; i < Transfers.size(); ++i)
        for (std::size_t j = i + 1; j < Transfers.size(); ++j) {
            const Transfer &a = Transfers[i], &b = Transfers[j];
            if (a.getCode == b.getCode || a.getId == b.getId || a.item == b.item) return false;
            if (j < UploadCount && (a.putCode == b.putCode || a.putId == b.putId)) return false;
        }
    return true;
}
static_assert(TransfersUnique());

// Each text-mode transfer's first state belongs to its row and is followed by its receiving or sending state.
constexpr bool TransferStatesMatch() {
    for (int i = 0; i < UploadCount; ++i) {
        const Transfer& t = Transfers[i];
        const StateRow rows[] = {RowOfState(t.getState), RowOfState(TransferNext(t.getState)), RowOfState(t.putState),
                                 RowOfState(TransferNext(t.putState))};
        const Group groups[] = {Group::GetFirst, Group::GetReceive, Group::PutFirst, Group::PutSend};
        for (int k = 0; k < 4; ++k)
            if (rows[k].group != groups[k] || rows[k].transfer != i) return false;
    }
    return true;
}
static_assert(TransferStatesMatch());

inline std::optional<int> TransferByGetCode(int code) {
    for (std::size_t i = 0; i < Transfers.size(); ++i)
        if (Transfers[i].getCode == code) return static_cast<int>(i);
    return std::nullopt;
}
inline std::optional<int> TransferByPutCode(int code) {
    for (int i = 0; i < UploadCount; ++i)
        if (Transfers[i].putCode == code) return i;
    return std::nullopt;
}
inline std::optional<int> TransferByGetId(int id) {
    for (std::size_t i = 0; i < Transfers.size(); ++i)
        if (Transfers[i].getId == id) return static_cast<int>(i);
    return std::nullopt;
}
inline std::optional<int> TransferByPutId(int id) {
    for (int i = 0; i < UploadCount; ++i)
        if (Transfers[i].putId == id) return i;
    return std::nullopt;
}

// Fail pending: the markers in order with the request code that hears of the failure.
// ReqConnect stands for the connection code of the state (ReqConnect, or NtfyAutoConnected in AutoPacketSession).
struct FailRow {
    std::uint32_t markers;
    int code;
    bool connection;
};
inline constexpr std::array<FailRow, 15> FailOrder{{
    {marker::SessionEnd, ReqDisconnect, false},
    {marker::Exit, ReqConnect, false},
    {marker::ConnectQuery, ReqConnect, true},
    {marker::Subscription, ReqConnect, true},
    {marker::MeasureStart, ReqMeasure, false},
    {marker::StopReason, ReqGetStopReason, false},
    {marker::GetRequested(0) | marker::GetReceiving(0), ReqGetSetup, false},
    {marker::GetRequested(1) | marker::GetReceiving(1), ReqGetTable, false},
    {marker::GetRequested(2) | marker::GetReceiving(2), ReqGetProgram, false},
    {marker::GetRequested(3) | marker::GetReceiving(3), ReqGetTable3, false},
    {marker::GetRequested(4) | marker::GetReceiving(4), ReqGetScreen, false},
    {marker::PutRequested(0) | marker::PutSending(0), ReqPutSetup, false},
    {marker::PutRequested(1) | marker::PutSending(1), ReqPutTable, false},
    {marker::PutRequested(2) | marker::PutSending(2), ReqPutProgram, false},
    {marker::PutRequested(3) | marker::PutSending(3), ReqPutTable3, false},
}};

// Packet-mode request ids that are not transfers.
namespace id {
inline constexpr std::uint8_t SessionEnd = 0;
inline constexpr std::uint8_t Supervision = 1;
inline constexpr std::uint8_t ConnectQuery = 2;
inline constexpr std::uint8_t Subscription = 3;
inline constexpr std::uint8_t MeasureStart = 13;
inline constexpr std::uint8_t StopReason = 15;
inline constexpr std::uint8_t Exit = 16;
}  // namespace id

// Items the engine names on the line.
namespace item {
inline constexpr std::uint16_t ModelCode = 0x0001;
inline constexpr std::uint16_t ModelName = 0x0002;
inline constexpr std::uint16_t Version = 0x0003;
inline constexpr std::uint16_t Status = 0x0201;
inline constexpr std::uint16_t StopReason = 0x0202;
inline constexpr std::uint16_t Key = 0x0C20;
inline constexpr std::uint16_t Measure = 0x0C21;
inline constexpr std::uint16_t CapturedData = 0x8000;
inline constexpr std::uint16_t Information = 0x8100;
}  // namespace item

// The connect query asks for these, in this order.
inline constexpr std::array<std::uint16_t, 4> ConnectQueryItems{item::ModelCode, item::ModelName, item::Version,
                                                                item::Status};

// The subscription: which notifications the analyzer should send. Data and
// information items only when there is a PC buffer to store them in.
enum class Switch : std::uint8_t { On, Off, WhenStoring };
struct Subscription {
    std::uint16_t item;
    Switch on;
};
inline constexpr std::array<Subscription, 10> Subscriptions{{
    {item::Status, Switch::On},
    {0x0B01, Switch::On},
    {item::Key, Switch::On},
    {item::CapturedData, Switch::WhenStoring},
    {0xE000, Switch::WhenStoring},
    {0xE800, Switch::Off},
    {0xE900, Switch::Off},
    {0xEA00, Switch::Off},
    {0xEB00, Switch::Off},
    {0xEC00, Switch::Off},
}};

// Items of "2" notifications that go to the capture writer's StoreInformation.
inline constexpr std::array<std::uint16_t, 7> InformationItems{
    item::Information, 0xE000, 0xE800, 0xE900, 0xEA00, 0xEB00, 0xEC00};
static_assert(std::is_sorted(InformationItems.begin(), InformationItems.end()));

// Refusal reasons of "B" answers to the statuses the application hears.
constexpr int TransferRefusal(int reason) {
    return reason == 2 ? StatusNotAvailable : reason == 3 ? StatusNotAllowed : StatusRefused;
}
constexpr int SetRefusal(int reason) { return reason == 2 ? StatusNotAvailable : StatusRefused; }

// Reply-timer values in 200 ms ticks.
inline constexpr int TimerKeep = -1;
inline constexpr int TimerOff = 0;
inline constexpr int TimerCommand = 5;     // 1 s
inline constexpr int TimerAttention = 15;  // 3 s for "###"
// A silent wait gives up after this many ticks without a received byte (10 s).
inline constexpr int SilenceTicks = 50;
// Link supervision while a measurement runs: the value asked of the analyzer,
// and the keep-alive period and link-loss limit it gives, in ticks.
inline constexpr std::uint8_t SupervisionAsked = 50;
// (at least one tick each, so a tiny value cannot end the session at once).
constexpr int KeepAliveTicks(int v) { return std::max(1, v * 400 / 2000); }  // 10 ticks (2 s) for 50
constexpr int LinkLossTicks(int v) { return std::max(1, v * 150 / 200); }    // 37 ticks (7.4 s) for 50
// Automatic connection: ticks with CTS and DSR on before the handshake starts.
inline constexpr int AutoTicks = 3;
// Largest piece of a packet-mode upload, and of a text-mode binary block.
inline constexpr int PacketPiece = 1008;
inline constexpr int TextPiece = 128;

}  // namespace commlib::engine
