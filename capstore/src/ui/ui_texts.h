// The captions of the main window's controls and of its conversion panel in
// English and Japanese, by control id (labels use the id of their control
// plus a fixed offset), and the list contents of the drop-down lists.
#pragma once
#include <string_view>
#include <vector>

#include "texts/string_table.h"

namespace capstore {

// Label of a control: its caption row is the control id + kLabel.
inline constexpr int kLabel = 100000;
// Other captions with no control id of their own.
namespace caption {
inline constexpr int kMonitor = 1;
inline constexpr int kTextConversion = 2;
inline constexpr int kOptions = 3;
inline constexpr int kLines = 4;
inline constexpr int kExclude = 5;
inline constexpr int kInclude = 6;
inline constexpr int kAboutTitle = 7;
inline constexpr int kAboutName = 8;
inline constexpr int kAboutVersion = 9;
inline constexpr int kLiveView = 10;
inline constexpr int kResumeView = 11;
inline constexpr int kNotShown = 12;   // "%1": how many
inline constexpr int kLiveLater = 13;  // shown when the pane is opened during a measurement
}  // namespace caption

// The caption text; empty when there is none.
std::string_view caption_text(int key, Language language);

// The items of a drop-down list (id::kFormat, kLine, kPrintData, kFrame, kPacket, kCsvForm, kCsvData).
std::vector<std::string_view> list_items(int control, Language language);

}  // namespace capstore

#include <QString>
namespace capstore {
inline QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
}  // namespace capstore
