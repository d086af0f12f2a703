// The delay from a byte written at the far end of a pty to the link event
// that the protocol thread hands to the engine: the median over many answers.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <vector>

#include "link/serial_link.h"
#include "testing/pty_pair.h"

namespace {

using Clock = std::chrono::steady_clock;

// An engine that is never idle and notes when each link event arrived.
class TimingEngine final : public commlib::Engine {
public:
    void Request(int, int, std::intptr_t) override {}
    void LinkEvent(int event, std::unique_ptr<commlib::LinkMessage>) override {
        if (event != commlib::EvAck) return;
        std::lock_guard lock(mutex);
        arrivals.push_back(Clock::now());
        cv.notify_all();
    }
    void Tick() override {}
    void Reset() override {}
    int StateNumber() const override { return 1; }
    const char* ModelName() const override { return ""; }
    int Version() const override { return 0; }
    int LinkMode() const override { return 1; }
    int Status() const override { return 0; }
    void* SetupData() override { return nullptr; }
    void* TableData() override { return nullptr; }
    void* ProgramData() override { return nullptr; }
    const BitmapInfo* ScreenInfo() const override { return nullptr; }
    const void* ScreenBits() const override { return nullptr; }
    void ScanBufferFolder(const BufferSettings&) override {}

    std::mutex mutex;
    std::condition_variable cv;
    std::vector<Clock::time_point> arrivals;
};

}  // namespace

int main() {
    testing_util::PtyPair pty;
    commlib::SerialLink link;
    TimingEngine engine;
    link.Attach(engine);
    if (link.Open(pty.slave_path(), {230400, platform::Parity::None, false}) != commlib::LinkOpen::Ok) {
        std::printf("error: cannot open %s\n", pty.slave_path().c_str());
        return 1;
    }
    constexpr int Samples = 300;
    std::vector<double> delays;
    for (int i = 0; i < Samples; ++i) {
        const auto sent = Clock::now();
        pty.write("*");
        std::unique_lock lock(engine.mutex);
        if (!engine.cv.wait_for(lock, std::chrono::seconds(5),
                                [&] { return engine.arrivals.size() > delays.size(); })) {
            std::printf("error: answer %d never arrived\n", i);
            return 1;
        }
        delays.push_back(std::chrono::duration<double, std::milli>(engine.arrivals.back() - sent).count());
    }
    link.Close();
    std::sort(delays.begin(), delays.end());
    std::printf("receive latency over %d bytes: median %.3f ms, 90%% %.3f ms, max %.3f ms (target median < 15 ms)\n",
                Samples, delays[Samples / 2], delays[Samples * 9 / 10], delays.back());
    return 0;
}
