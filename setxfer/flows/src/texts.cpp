// Filling the status number into a message text.
#include "setxfer_flows/texts.h"

namespace setxfer::texts {

std::string with_number(std::string_view text, int number) {
    std::string out(text);
    if (auto at = out.find("%d"); at != std::string::npos) out.replace(at, 2, std::to_string(number));
    return out;
}

}  // namespace setxfer::texts
