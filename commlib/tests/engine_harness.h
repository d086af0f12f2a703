// Drives a ProtocolEngine by hand for the engine tests: plays the analyzer's
// side (link events, packets with its own sequence numbers, ticks), records
// every byte the engine puts on the line, its notifications and capture calls.
#pragma once
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "commlib/analyzer_words.h"
#include "engine/protocol_engine.h"
#include "link/framing.h"

namespace commlib::engine {
// Failed assertions on a state show its number.
inline void PrintTo(State s, std::ostream* os) { *os << static_cast<int>(s); }
}  // namespace commlib::engine

namespace commlib::test {

using Bytes = std::vector<std::uint8_t>;
using engine::State;

struct Note {
    int code;
    int status;
    void* data;
    bool operator==(const Note& o) const { return code == o.code && status == o.status; }
};

struct Sent {
    bool framed;    // a packet (SYN frame on the line)
    Bytes content;  // the text or block as written, or the packet before framing
    Bytes Line() const { return framed ? SynFrame(content) : content; }
};

class RecordingOutput final : public EngineOutput {
public:
    void SendRaw(std::unique_ptr<LinkMessage> msg) override {
        sent.push_back({false, Bytes(msg->Bytes().begin(), msg->Bytes().end())});
    }
    void SendFrame(std::unique_ptr<LinkMessage> msg) override {
        sent.push_back({true, Bytes(msg->Bytes().begin(), msg->Bytes().end())});
    }
    void DiscardReceive() override { ++discards; }
    int Notify(int code, int status, void* data) override {
        notes.push_back({code, status, data});
        return code == NtfyKey ? keyResult : 0;
    }
    bool Cts() override { return modemOn; }
    bool Dsr() override { return modemOn; }

    std::vector<Sent> sent;
    std::vector<Note> notes;
    int discards = 0;
    int keyResult = 1;
    bool modemOn = false;
};

class RecordingCapture final : public CaptureSink {
public:
    void ScanFolder(const BufferSettings& b) override { calls.push_back("scan " + std::to_string(b.MaxBlocks)); }
    bool Storing() const override { return storing; }
    void BeginCapture() override { calls.push_back("begin"); }
    void EndCapture() override { calls.push_back("end"); }
    void ResetCapture() override { calls.push_back("reset"); }
    void StoreData(std::uint16_t counter, std::span<const std::uint8_t> units) override {
        calls.push_back("data " + std::to_string(counter));
        lastPayload.assign(units.begin(), units.end());
    }
    void StoreInformation(DataSet* info, std::uint16_t item, std::span<const std::uint8_t> payload) override {
        calls.push_back("info " + std::to_string(item));
        lastInfo = info;
        lastPayload.assign(payload.begin(), payload.end());
    }
    void Tick() override { ++ticks; }

    bool storing = false;
    std::vector<std::string> calls;
    Bytes lastPayload;
    DataSet* lastInfo = nullptr;
    int ticks = 0;
};

inline Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

inline void Put16(Bytes& b, unsigned v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
// An item record: item, length, value.
inline Bytes Record(unsigned item, const Bytes& value) {
    Bytes b;
    Put16(b, item);
    b.push_back(static_cast<std::uint8_t>(value.size()));
    b.insert(b.end(), value.begin(), value.end());
    return b;
}
inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes b;
    for (const Bytes& p : parts) b.insert(b.end(), p.begin(), p.end());
    return b;
}

class Harness {
public:
    // No packet the engine sends in these tests carries this number.
    static constexpr std::uint8_t NeverOurSequence = 0xEE;

    Harness() {
        auto c = std::make_unique<RecordingCapture>();
        capture = c.get();
        engine = std::make_unique<ProtocolEngine>(out, std::move(c));
    }

    void Request(int code, int param = 0) { engine->Request(code, param, 0); }
    void Event(int ev) { engine->LinkEvent(ev, nullptr); }
    void Ack() { Event(EvAck); }
    void Nak() { Event(EvNak); }
    void Cancel() { Event(EvCancel); }
    void End() { Event(EvEnd); }
    void Line(const Bytes& bytes, int framing = FramingText) { engine->LinkEvent(EvLine, MakeMessage(framing, bytes)); }
    void Line(const std::string& s) { Line(Text(s)); }
    // A packet from the analyzer; kinds above "?" get the analyzer's next sequence number.
    void Packet(Bytes p) {
        if (p.size() >= 2 && p[0] > '?') p[1] = analyzerSeq++;
        engine->LinkEvent(EvFrame, MakeMessage(FramingSyn, p));
    }
    void Answer(std::uint8_t id, std::uint8_t sub, const Bytes& results = {}) {
        Packet(Cat({Bytes{'A', 0, id, sub}, results}));
    }
    void Refuse(std::uint8_t id, std::uint8_t sub, unsigned reason) {
        Bytes p{'B', 0, id, sub};
        Put16(p, reason);
        Packet(p);
    }
    void Notification(unsigned item, const Bytes& value) {
        Bytes p{'2', 0};
        Put16(p, item);
        Packet(Cat({p, value}));
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) engine->Tick();
    }
    // Ticks until the engine does something (sends, notifies, drops the reader's
    // message, calls the capture writer): the ticks that took, 0 if nothing in `limit`.
    int Expire(int limit = 20) {
        for (int i = 1; i <= limit; ++i) {
            const std::size_t before = Activity();
            engine->Tick();
            if (Activity() != before) return i;
        }
        return 0;
    }
    // The sequence number the engine expects next, as its repeat request names it
    // for a packet out of order (-1: it took the probe, an answer to nothing).
    int ExpectedSequence() {
        const std::size_t before = out.sent.size();
        const auto probe = static_cast<std::uint8_t>(analyzerSeq + 128);
        engine->LinkEvent(EvFrame, MakeMessage(FramingSyn, Bytes{'A', probe, 0xEE, 'x'}));
        const int expected = out.sent.size() == before + 1 ? out.sent.back().content.at(1) : -1;
        out.sent.resize(before);
        return expected;
    }
    // Whether the engine still waits for an answer in packet mode: a repeat request
    // for a packet it never sent makes it fail every wait (StatusLostPacket) or
    // repeat a handshake step, beyond the reset it always sends. Ends those waits.
    bool Waiting() {
        const std::size_t sent = out.sent.size();
        const std::size_t notes = out.notes.size();
        engine->LinkEvent(EvFrame, MakeMessage(FramingSyn, Bytes{'?', NeverOurSequence}));
        const bool waiting = out.notes.size() > notes || out.sent.size() > sent + 1;
        out.sent.resize(sent);
        out.notes.resize(notes);
        return waiting;
    }
    // The model the session's data sets are made for, as their files carry it
    // (-1: no data sets). Read through DataSetOf: the engine shows it nowhere else.
    int DataSetModel() const {
        const DataSet* setup = engine->DataSetOf(engine::Set::Setup);
        return setup ? setup->ModelCode() : -1;
    }

    std::vector<Sent> TakeSent() { return std::exchange(out.sent, {}); }
    std::vector<Note> TakeNotes() { return std::exchange(out.notes, {}); }
    // Everything sent since the last take, as the bytes on the line.
    Bytes TakeLine() {
        Bytes all;
        for (const Sent& s : TakeSent()) {
            Bytes l = s.Line();
            all.insert(all.end(), l.begin(), l.end());
        }
        return all;
    }
    // The packets sent since the last take, before framing.
    std::vector<Bytes> TakePackets() {
        std::vector<Bytes> packets;
        for (const Sent& s : TakeSent())
            if (s.framed) packets.push_back(s.content);
        return packets;
    }

    // Connects in packet mode to an analyzer with the given status word.
    void ConnectPacket(std::uint32_t status = 0, int model = 4, const std::string& name = "RV-7010") {
        Request(ReqConnect);
        Ack();
        Ack();
        Bytes st;
        Put32(st, status);
        Answer(2, '4',
               Cat({Record(1, Bytes{static_cast<std::uint8_t>(model)}), Record(2, Text(name)),
                    Record(3, Bytes{0x10, 0x02}), Record(0x0201, st)}));
        if (!IsMeasuring(status)) Answer(3, '3');  // a measuring analyzer gets no subscription
        out.sent.clear();
        out.notes.clear();
    }
    // Connects in text mode (three refusals of packet mode) and identifies.
    void ConnectText(const std::string& ident = "RV-7020 1.2") {
        Request(ReqConnect);
        Ack();
        Nak();
        Nak();
        Nak();
        Ack();
        Line(ident);
        out.sent.clear();
        out.notes.clear();
    }

    // Engine accessors the tests still read, for what shows nowhere outside:
    // - ReplyTimer(): its value in states that ignore its expiry (the text session, a text put's blocks);
    // - DataSetOf(): data sets filled as a get would, a cancelled get's receive position, DataSetModel().
    RecordingOutput out;
    RecordingCapture* capture = nullptr;
    std::unique_ptr<ProtocolEngine> engine;
    std::uint8_t analyzerSeq = 0;

private:
    std::size_t Activity() const {
        return out.sent.size() + out.notes.size() + static_cast<std::size_t>(out.discards) + capture->calls.size();
    }
};

}  // namespace commlib::test
