// Millisecond ticks and sleeps on the steady clock.
#include "platform/ticks.h"

#include <chrono>
#include <thread>

namespace platform {

std::uint32_t tickCount() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void sleepMs(unsigned ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace platform
