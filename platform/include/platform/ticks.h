// Millisecond ticks on the monotonic clock, standing in for the system tick
// count; wraps like a 32-bit tick counter, so compare with subtraction.
//
// Errors: none.
// Threads: any.
#pragma once
#include <cstdint>

namespace platform {

std::uint32_t tickCount();
void sleepMs(unsigned ms);

}  // namespace platform
