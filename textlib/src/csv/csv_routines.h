// The CSV routines (rows of the routine table, job_dispatch.cpp); each is
// 0 done, 1 failed.
#pragma once

namespace textlib {

class ConvertJob;

// Data: the character fields of both directions, `Width` to a line.
int CsvData(ConvertJob& job);
// Frame: one line per frame.
int CsvFrames(ConvertJob& job);

}  // namespace textlib
