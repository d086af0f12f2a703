// For a program that links textlib_core instead of loading libtextlib.so
// (zamvex, which also uses the live records, live conversion and frame reader
// and so holds the library's code already): the factory behind
// CreateMirlokeTextConvert, with the same contract, and the version the
// library's MKGetDllVersion answers (kTextlibVersion, textlib/text_convert.h).
//
// Errors: as CreateMirlokeTextConvert: 0 when construction failed.
// Threads: as TextConvert's (textlib/text_convert.h).
#pragma once
#include "textlib/text_convert.h"

namespace textlib {

// Sets *out to a new object; 1 on success (also when allocation gave null), 0
// when construction failed.
int CreateTextConvert(TextConvert** out);

}  // namespace textlib
