// Feeds random link events, packets, requests and ticks to a protocol engine
// that has already connected (packet mode, text mode or automatically), the
// way a misbehaving analyzer or a noisy line would. Nothing may crash or leak.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/protocol_engine.h"

namespace {

using namespace commlib;

class QuietOutput final : public EngineOutput {
public:
    void SendRaw(std::unique_ptr<LinkMessage>) override { ++sent; }
    void SendFrame(std::unique_ptr<LinkMessage>) override { ++sent; }
    void DiscardReceive() override {}
    int Notify(int code, int, void* data) override {
        // A stop-reason notification carries a pointer that must be readable.
        if (code == ReqGetStopReason && data) sink += *static_cast<int*>(data);
        return keyResult;
    }
    bool Cts() override { return modem; }
    bool Dsr() override { return modem; }

    int sent = 0;
    int keyResult = 0;
    bool modem = true;
    int sink = 0;
};

class QuietCapture final : public CaptureSink {
public:
    void ScanFolder(const BufferSettings&) override {}
    bool Storing() const override { return true; }
    void BeginCapture() override {}
    void EndCapture() override {}
    void ResetCapture() override {}
    void StoreData(std::uint16_t, std::span<const std::uint8_t> units) override { bytes += units.size(); }
    void StoreInformation(DataSet*, std::uint16_t, std::span<const std::uint8_t> payload) override {
        bytes += payload.size();
    }
    void Tick() override {}
    std::size_t bytes = 0;
};

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool More() const { return pos_ < size_; }
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::vector<std::uint8_t> Bytes(std::size_t n) {
        std::vector<std::uint8_t> v;
        while (n-- > 0 && pos_ < size_) v.push_back(data_[pos_++]);
        return v;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

void Frame(ProtocolEngine& e, std::vector<std::uint8_t> p, bool inSequence) {
    if (inSequence && p.size() >= 2 && p[0] > '?') p[1] = e.RxSequence();
    e.LinkEvent(EvFrame, MakeMessage(FramingSyn, p));
}

void Connect(ProtocolEngine& e, std::uint8_t how) {
    if (how % 3 == 2) {
        e.Request(ReqAutoConnect, 0, 0);
        for (int i = 0; i < 3; ++i) e.Tick();
    } else {
        e.Request(ReqConnect, 0, 0);
    }
    e.LinkEvent(EvAck, nullptr);
    if (how % 3 == 1) {
        for (int i = 0; i < 3; ++i) e.LinkEvent(EvNak, nullptr);
        e.LinkEvent(EvAck, nullptr);
        e.LinkEvent(EvLine, MakeMessage(FramingText, "RV-7010 1.0"));
        return;
    }
    e.LinkEvent(EvAck, nullptr);
    Frame(e, {'A', 0, 2, '4', 1, 0, 1, 4}, true);
    Frame(e, {'A', 0, 3, '3'}, true);
}

constexpr int Requests[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 4097, 99};
constexpr std::uint8_t Kinds[] = {'0', '2', '?', 'A', 'B', 'D', 'E', '@'};

void Step(ProtocolEngine& e, QuietOutput& out, Input& in) {
    switch (in.Byte() % 12) {
    case 0: e.Tick(); break;
    case 1: e.LinkEvent(EvWriteDone, nullptr); break;
    case 2: e.LinkEvent(EvAck + in.Byte() % 4, nullptr); break;
    case 3: e.LinkEvent(EvLine, MakeMessage(FramingHex, in.Bytes(in.Byte()))); break;
    case 4: {  // a packet of a handled kind, in sequence
        std::vector<std::uint8_t> p{Kinds[in.Byte() % 8]};
        auto rest = in.Bytes(in.Byte() | (in.Byte() % 8) << 8);
        p.insert(p.end(), rest.begin(), rest.end());
        Frame(e, std::move(p), true);
        break;
    }
    case 5: Frame(e, in.Bytes(in.Byte()), false); break;
    case 6: {
        const int code = Requests[in.Byte() % 16];
        const int param = in.Byte() | in.Byte() << 8;
        e.Request(code, param, 0);
        break;
    }
    case 7:
        for (int i = 0; i < 50; ++i) e.Tick();
        break;
    case 8:  // make a data set complete so that puts get going
        if (DataSet* set = e.DataSetOf(static_cast<engine::Set>(in.Byte() % 4))) {
            std::vector<std::uint8_t> body(in.Byte() * 64 + 16, in.Byte());
            set->ReceiveAt(0, body.data(), static_cast<int>(body.size()));
        }
        break;
    case 9: out.keyResult = in.Byte() & 1; break;
    case 10: out.modem = in.Byte() & 1; break;
    default: e.Reset(); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QuietOutput out;
    ProtocolEngine engine(out, std::make_unique<QuietCapture>());
    Input in(data, size);
    Connect(engine, in.Byte());
    for (int steps = 0; in.More() && steps < 4096; ++steps) Step(engine, out, in);
    return 0;
}
