// The Translate print format of the character modes (a row of the routine
// table, job_dispatch.cpp).
#pragma once

namespace textlib {

class ConvertJob;

// The control-sequence tokens in the print format's blocks (0 done, 1 failed).
int PrintControlSequence(ConvertJob& job);

}  // namespace textlib
