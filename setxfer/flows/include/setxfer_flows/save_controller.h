// The save dialog: save types for the connected model, the path checks, and the
// file written in one go from the data sets just read.
//
// Errors: failures are shown through the views' message boxes.
// Threads: the GUI thread only.
#pragma once
#include "setxfer_flows/session.h"

namespace setxfer {

class SaveController {
public:
    SaveController(Session& session, SaveView& view) : s_(session), view_(view) {}
    void open();
    void browse();
    void start();
    void cancel();

private:
    bool path_accepted(const std::string& path);

    Session& s_;
    SaveView& view_;
};

// The list the save and send dialogs show for a model (Shift_JIS names).
std::vector<std::string> type_names(Model model);

}  // namespace setxfer
