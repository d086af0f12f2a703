// Milliseconds on the steady clock: the time between two readings, and sleeps.
//
// Errors: none.
// Threads: any.
#pragma once
#include <cstdint>

namespace platform {

// Milliseconds of the steady clock since some fixed point (not the wall clock).
std::int64_t nowMs();

void sleepMs(unsigned ms);

}  // namespace platform
