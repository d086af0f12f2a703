// Millisecond sleeps on the steady clock.
#include "platform/ticks.h"

#include <chrono>
#include <thread>

namespace platform {

void sleepMs(unsigned ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace platform
