// The engine's states by name. Each keeps its number: Engine::StateNumber() hands
// the number to the reader thread as an int (0 = idle).
//
// 31 and 32 name no state: the numbers are the ones the engine's state table
// was first written with, kept rather than renumbered. Nothing on the line or in
// a stored file carries a state number; outside the engine only 0 (idle) has a
// meaning. The state table is searched by number (engine_tables.h), so the gap
// costs nothing; TransferNext relies only on each transfer's two states being
// consecutive.
#pragma once

namespace commlib::engine {

enum class State : int {
    Idle = 0,                 // no session
    Attention = 1,            // "###" sent for ReqConnect
    AttentionAgain = 2,       // "###" sent again after a packet-mode exit
    AutoAttention = 3,        // "###" sent by the automatic connection
    Quit = 4,                 // "%Q\r\n" sent
    TextSession = 5,          // connected in text mode
    PacketSession = 6,        // connected in packet mode
    AutoPacketSession = 7,    // connected in packet mode, automatically
    Key = 8,                  // key command sent
    MeasureStart = 9,         // "%K21\r\n" sent
    MeasureStop = 10,         // "%K22\r\n" sent
    Identify = 11,            // "%T0\r\n" sent
    AutoIdentify = 12,        // "%T0\r\n" sent, automatic connection
    IdentLine = 13,           // waiting for the identification line
    AutoIdentLine = 14,       // waiting for the identification line, automatic connection
    GetSetup = 15,            // "%T1\r\n" sent
    GetSetupReceive = 16,     // receiving the setup
    GetTable = 17,            // "%T2\r\n" sent
    GetTableReceive = 18,     // receiving the table
    GetTable3 = 19,           // "%T3\r\n" sent
    GetTable3Receive = 20,    // receiving the third table
    GetProgram = 21,          // "%T5\r\n" sent
    GetProgramReceive = 22,   // receiving the program
    PutSetup = 23,            // "%R1\r\n" sent
    PutSetupSend = 24,        // sending the setup
    PutTable = 25,            // "%R2\r\n" sent
    PutTableSend = 26,        // sending the table
    PutTable3 = 27,           // "%R3\r\n" sent
    PutTable3Send = 28,       // sending the third table
    PutProgram = 29,          // "%R5\r\n" sent
    PutProgramSend = 30,      // sending the program
    SwitchToPacket = 33,      // "%@X\r\n" sent
    AutoSwitchToPacket = 34,  // "%@X\r\n" sent, automatic connection
};

constexpr bool InPacketMode(State s) { return s == State::PacketSession || s == State::AutoPacketSession; }

// The state that follows a text-mode transfer's first state: receiving or sending.
constexpr State TransferNext(State first) { return static_cast<State>(static_cast<int>(first) + 1); }

}  // namespace commlib::engine
