// The print format's routines (rows of the routine table, job_dispatch.cpp).
#pragma once

namespace textlib {

class ConvertJob;

// Blocks of 28 columns from the record stream, without and with the
// line-state lines under each (0 done, 1 failed).
int PrintNormal(ConvertJob& job);
int PrintNormalLineState(ConvertJob& job);

}  // namespace textlib
