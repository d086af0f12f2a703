// The speed the PC set on its end of the pty, as the master end reads it back:
// a PC at another speed than the analyzer's gets no answer, as on a real line,
// where its bytes would arrive garbled.
#pragma once

namespace simulator {

// Whether the line on `fd` runs at `baud`: always for 0 (any speed) and for a
// descriptor that is no terminal (its speed cannot be told).
bool line_at_speed(int fd, int baud);

}  // namespace simulator
