// A scripted stand-in for the protocol engine in link and interface tests:
// records everything the protocol thread hands it, on which thread, and lets
// a test wait for it.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/engine.h"

namespace commlib::testing_fake {

struct Seen {
    enum Kind { Request, Event, Tick, Reset, Scan } kind;
    int a = 0;  // request code / event number
    int b = 0;  // request param / message framing (-1 none)
    std::intptr_t data = 0;
    std::vector<std::uint8_t> bytes;
    std::thread::id thread;
};

class FakeEngine : public Engine {
public:
    explicit FakeEngine(EngineOutput& out) : out(out) {}

    EngineOutput& out;
    std::atomic<int> currentState{1};
    std::string model = "RV-7020";
    // Runs inside Request() on the protocol thread, when set.
    std::function<void(int code, int param)> onRequest;
    // Runs inside LinkEvent() on the protocol thread before the event is recorded, when set.
    std::function<void(int event)> onEvent;

    void Request(int code, int param, std::intptr_t data) override {
        Record({Seen::Request, code, param, data, {}, std::this_thread::get_id()});
        if (onRequest) onRequest(code, param);
    }
    void LinkEvent(int event, std::unique_ptr<LinkMessage> msg) override {
        if (onEvent) onEvent(event);
        Seen s{Seen::Event, event, msg ? msg->framing : -1, 0, {}, std::this_thread::get_id()};
        if (msg) s.bytes.assign(msg->Bytes().begin(), msg->Bytes().end());
        Record(std::move(s));
    }
    void Tick() override { Record({Seen::Tick, 0, 0, 0, {}, std::this_thread::get_id()}); }
    void Reset() override {
        out.DiscardReceive();
        Record({Seen::Reset, 0, 0, 0, {}, std::this_thread::get_id()});
    }
    // Only the reader asks, once per byte outside a message.
    int StateNumber() const override {
        const int answer = currentState.load();  // read before the test may change it
        {
            std::lock_guard lock(mutex_);
            ++stateQueries_;
        }
        cv_.notify_all();
        return answer;
    }
    std::size_t StateQueries() const {
        std::lock_guard lock(mutex_);
        return stateQueries_;
    }
    bool WaitStateQueries(std::size_t atLeast) const {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, std::chrono::seconds(10), [&] { return stateQueries_ >= atLeast; });
    }
    const char* ModelName() const override { return model.c_str(); }
    int Version() const override { return 0x102000; }
    int LinkMode() const override { return 2; }
    int Status() const override { return 0x100; }
    void* SetupData() override { return nullptr; }
    void* TableData() override { return nullptr; }
    void* ProgramData() override { return nullptr; }
    const BitmapInfo* ScreenInfo() const override { return nullptr; }
    const void* ScreenBits() const override { return nullptr; }
    void ScanBufferFolder(const BufferSettings&) override {
        Record({Seen::Scan, 0, 0, 0, {}, std::this_thread::get_id()});
    }
    void SetCaptureOptions(const CaptureOptions& options) override { captureOptions = options; }
    CaptureOptions captureOptions{-1, -1, -1};  // what SetCaptureOptions passed on last

    void Clear() {
        std::lock_guard lock(mutex_);
        seen_.clear();
    }
    // Everything seen so far, in order.
    std::vector<Seen> AllSeen() const {
        std::lock_guard lock(mutex_);
        return seen_;
    }
    // The link events seen so far (ticks and the rest left out).
    std::vector<Seen> Events() const {
        std::vector<Seen> out;
        for (const Seen& s : AllSeen())
            if (s.kind == Seen::Event) out.push_back(s);
        return out;
    }
    // Waits until pred(seen) holds; false after the timeout.
    bool WaitFor(const std::function<bool(const std::vector<Seen>&)>& pred,
                 std::chrono::milliseconds timeout = std::chrono::seconds(10)) const {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, timeout, [&] { return pred(seen_); });
    }
    bool WaitForEvents(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const {
        return WaitFor(
            [count](const std::vector<Seen>& all) {
                std::size_t n = 0;
                for (const Seen& s : all) n += s.kind == Seen::Event;
                return n >= count;
            },
            timeout);
    }
    static std::size_t Count(const std::vector<Seen>& all, Seen::Kind kind) {
        std::size_t n = 0;
        for (const Seen& s : all) n += s.kind == kind;
        return n;
    }

private:
    void Record(Seen s) {
        {
            std::lock_guard lock(mutex_);
            seen_.push_back(std::move(s));
        }
        cv_.notify_all();
    }
    mutable std::mutex mutex_;
    mutable std::condition_variable cv_;
    std::vector<Seen> seen_;
    mutable std::size_t stateQueries_ = 0;
};

// Engine factory for RemoteImpl; the test reaches the fake through its Fake().
inline std::unique_ptr<Engine> MakeFakeEngine(EngineOutput& out) { return std::make_unique<FakeEngine>(out); }

}  // namespace commlib::testing_fake
