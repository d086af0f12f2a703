// The window messages of the main window: library notifications arrive as
// NotifyMessage (commlib/analyzer_words.h, which also packs and unpacks their
// word), conversion notifications as kConvertMessage.
#pragma once
#include "commlib/analyzer_words.h"

namespace capstore {

inline constexpr unsigned kConvertMessage = 0x8002;

}  // namespace capstore
