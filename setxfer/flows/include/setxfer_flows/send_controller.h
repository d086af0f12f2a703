// The send dialog: reads a settings file into the data sets and writes them to
// the analyzer, setup first, then tables, then (RV-7030) the program.
//
// Errors: failures are shown through the views' message boxes.
// Threads: the GUI thread only.
#pragma once
#include "setxfer_flows/session.h"

namespace setxfer {

class MainController;

class SendController : public NotificationTarget {
public:
    SendController(Session& session, SendView& view, MainController& main) : s_(session), view_(view), main_(main) {}
    void open();
    void browse();
    void start();
    void cancel();
    void on_notify(int code, int status, void* data) override;

private:
    void enable_all();
    void on_put_failed(int code, int status, void* data);

    Session& s_;
    SendView& view_;
    MainController& main_;
};

}  // namespace setxfer
