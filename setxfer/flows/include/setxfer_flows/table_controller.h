// The table data dialog: typed text becomes one table's cells and only the table
// data set is sent; the editor's last text is kept in "tble.bin".
//
// Errors: failures are shown through the views' message boxes.
// Threads: the GUI thread only.
#pragma once
#include "setxfer_flows/session.h"

namespace setxfer {

class MainController;

// The editor's last text, in the current folder.
inline constexpr const char* kLastTextFile = "tble.bin";
inline constexpr std::size_t kLastTextSize = 8192;

class TableController : public NotificationTarget {
public:
    TableController(Session& session, TableView& view, MainController& main) : s_(session), view_(view), main_(main) {}
    void open();
    void send();
    void clear();
    void show_last();
    void cancel();
    void on_notify(int code, int status, void* data) override;

private:
    void show_free();
    void save_last();

    Session& s_;
    TableView& view_;
    MainController& main_;
};

}  // namespace setxfer
