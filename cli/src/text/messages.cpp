// Message tables: one row per message as the programs' English string tables
// hold them, searched by number.
#include "text/messages.h"

#include "session/analyzer_session.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <utility>

namespace cli {
namespace {

constexpr std::pair<int, const char*> kMessages[] = {
    {4, "An error occurred during the serial port initializing process."},
    {6, "An error occurred during the connection process."},
    {7, "Do you approve of an exit though the application is measuring ?"},
    // The English table repeats message 6 here; the second line says what the
    // Japanese text explains: the analyzer answered, but not in packet mode.
    {9,
     "An error occurred during the connection process.\n"
     "The analyzer is not supported, or its firmware is too old (no packet mode)."},
    {31, "The PC buffer files do not exist, or the data of their are wrong."},
    {32, "An error occurred during converting process."},
    {36,
     "All data on an existent PC buffer are deleted when a measurement is started under the present "
     "condition. Specify another folder on the PC buffer setting if you want to leave an existent data."},
    {37,
     "Cannot be connected while the analyzer is measuring. Connect to the analyzer again after a "
     "measurement stopped."},
    {38, "There was no answer from the analyzer within a given period of time."},
    {39,
     "There was no answer from the analyzer within given period of time though this application tried "
     "to stop a measurement.\nThis application exit."},
};

// Stop reasons 2 to 8. The English table has only the general text for 4 to 8;
// the causes that the Japanese texts name follow it in brackets.
constexpr std::pair<int, const char*> kStopReasons[] = {
    {2, "The connected analyzer unsupport this function."},
    {3,
     "The analyzer is not the condition that a measurement can be started. Confirm the condition of the "
     "analyzer."},
    {4, "A measurement cannot be started. (battery warning on the analyzer)"},
    {5, "A measurement cannot be started. (the analyzer's monitor buffer is write-protected)"},
    {6, "A measurement cannot be started. (check the settings of the monitor port)"},
    {7, "A measurement cannot be started. (buffer simulation needs a buffer other than BUF0)"},
    {8, "A measurement cannot be started (the operating mode supports only ASYNC)"},
};

constexpr std::pair<int, const char*> kStatuses[] = {
    {kLinkLost, "the link was lost: the serial port went away or the analyzer stopped answering"},
    {0, "done"},
    {1, "refused by the analyzer"},
    {2, "port not open"},
    {3, "lost packet could not be repeated"},
    {4, "no answer in time"},
    {257, "unknown request"},
    {258, "not available"},
    {513, "not allowed now"},
    {514, "cancelled by the analyzer"},
};

template <class Table>
constexpr bool sorted_unique(const Table& t) {
    for (std::size_t i = 1; i < std::size(t); ++i)
        if (t[i - 1].first >= t[i].first) return false;
    return true;
}
static_assert(sorted_unique(kMessages) && sorted_unique(kStopReasons) && sorted_unique(kStatuses),
              "message tables are searched: keep them sorted by number");

template <class Table>
const char* find(const Table& t, int key) {
    const auto* it =
        std::lower_bound(std::begin(t), std::end(t), key, [](const auto& row, int k) { return row.first < k; });
    return (it != std::end(t) && it->first == key) ? it->second : nullptr;
}

}  // namespace

const char* message_text(Msg m) {
    const char* text = find(kMessages, static_cast<int>(m));
    return text ? text : "";
}

std::string stop_reason_text(int reason) {
    if (reason >= 0xF000 && reason <= 0xF1FF) {
        char line[96];
        std::snprintf(line, sizeof line, "A label at line number %d in the program is undefined.", reason - 0xF000);
        return line;
    }
    const char* text = find(kStopReasons, reason);
    return text ? text : "A measurement cannot be started.";
}

std::string status_name(int status) {
    const char* name = find(kStatuses, status);
    return name ? name : "status " + std::to_string(status);
}

std::string with_status(const std::string& text, int status) {
    return text + " (status " + std::to_string(status) + ": " + status_name(status) + ")";
}

}  // namespace cli
