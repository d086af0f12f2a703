// The guarded message routine and the messages for a refused start.
#include "app/main_controller.h"

#include <algorithm>
#include <iterator>

namespace capstore {
namespace {

struct ReasonRow {
    int reason;
    int message;
};

// Sorted by reason; the program's undefined labels (0xF000 + line) and every
// other reason are handled below.
constexpr ReasonRow kReasons[] = {
    {2, str::kStopUnsupported}, {3, str::kStopNotReady},     {4, str::kStopBattery},   {5, str::kStopWriteProtected},
    {6, str::kStopMonitorPort}, {7, str::kStopBufferSelect}, {8, str::kStopAsyncOnly},
};

}  // namespace

int stop_reason_message_number(int reason) {
    const auto it = std::find_if(std::begin(kReasons), std::end(kReasons),
                                 [reason](const ReasonRow& row) { return row.reason == reason; });
    if (it != std::end(kReasons)) return it->message;
    if (reason >= 0xF000 && reason <= 0xF1FF) return str::kUndefinedLabel;
    return str::kCannotStart;
}

Answer MainController::message(int number, Icon icon, Buttons buttons, const std::string& arg, int caption) {
    if (s_.message_box_open) return Answer::None;
    s_.message_box_open = true;
    const std::string title = text(caption != 0 ? caption : str::kAppTitle);
    const Answer answer = view_.message_box(title, format_string(text(number), arg), icon, buttons);
    s_.message_box_open = false;
    return answer;
}

Answer MainController::message_number(int number, long long value, Icon icon) {
    if (s_.message_box_open) return Answer::None;
    s_.message_box_open = true;
    const Answer answer =
        view_.message_box(text(str::kAppTitle), format_string(text(number), value), icon, Buttons::Ok);
    s_.message_box_open = false;
    return answer;
}

Answer MainController::message_with_detail(int number, const std::string& detail, Icon icon) {
    if (s_.message_box_open) return Answer::None;
    s_.message_box_open = true;
    const std::string body = number != 0 ? text(number) + "\n" + detail : detail;
    const Answer answer = view_.message_box(text(str::kAppTitle), body, icon, Buttons::Ok);
    s_.message_box_open = false;
    return answer;
}

void MainController::stop_reason_message(int reason) {
    const int number = stop_reason_message_number(reason);
    if (number == str::kUndefinedLabel) message_number(number, reason - 0xF000, Icon::Warning);
    else message(number, Icon::Warning);
}

}  // namespace capstore
