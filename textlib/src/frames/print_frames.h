// The frame-oriented print routines (rows of the routine table,
// job_dispatch.cpp); each is 0 done, 1 failed.
#pragma once

namespace textlib {

class ConvertJob;

// The frames of HDLC and NRZI, their control fields decoded.
int PrintFrames(ConvertJob& job);
// The same frames with the packet headers of X.25, DDX or Q.931.
int PrintPackets(ConvertJob& job);
// The frames of PPP by protocol.
int PrintPpp(ConvertJob& job);

}  // namespace textlib
