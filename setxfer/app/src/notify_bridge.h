// From commlib's protocol thread to the GUI thread: the tool's NotifyFn copies
// each notification into the bridge's mailbox, which wakes the bridge (a
// platform::Window whose post queues a Qt event); the event hands the next
// notification to the flows on the GUI thread. The data the library points to
// is copied during the call, so the flows read a copy that stays valid while
// their handler runs.
#pragma once
#include <QObject>
#include <functional>

#include "commlib/analyzer_words.h"
#include "commlib/remote.h"
#include "platform/notify_mailbox.h"
#include "platform/window.h"

namespace setxfer::app {

class NotifyBridge : public QObject, public platform::Window {
public:
    // data: a number as the library passed it, or the copy of what it pointed to.
    using Handler = std::function<void(int code, int status, void* data)>;
    explicit NotifyBridge(Handler handler);
    ~NotifyBridge() override;

    // Takes only the mailbox's wake-up, NotifyMessage.
    bool post(unsigned message, std::uintptr_t w_param, std::intptr_t l_param) override;
    const char* title() const override { return "設定送受信ソフト"; }
    // The function handed to Initialize; it posts to the bridge that exists now.
    static NotifyFn notify_function();

protected:
    bool event(QEvent* event) override;

private:
    static int notify(int code, int status, void* data);

    Handler handler_;
    platform::NotifyMailbox mailbox_;
};

}  // namespace setxfer::app
