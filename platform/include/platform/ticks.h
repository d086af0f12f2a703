// Millisecond sleeps on the steady clock.
//
// Errors: none.
// Threads: any.
#pragma once

namespace platform {

void sleepMs(unsigned ms);

}  // namespace platform
