// From commlib's protocol thread to the GUI thread: the tool's NotifyFn posts
// (NotifyMessage, the packed word, data) to a platform::Window whose post queues a
// Qt event; the event hands the notification to the flows on the GUI thread.
#pragma once
#include <QObject>
#include <functional>

#include "commlib/analyzer_words.h"
#include "commlib/remote.h"
#include "platform/window.h"

namespace setxfer::app {

class NotifyBridge : public QObject, public platform::Window {
public:
    using Handler = std::function<void(int code, int status, void* data)>;
    explicit NotifyBridge(Handler handler);
    ~NotifyBridge() override;

    bool post(unsigned message, std::uintptr_t w_param, std::intptr_t l_param) override;
    const char* title() const override { return "設定送受信ソフト"; }
    // The function handed to Initialize; it posts to the bridge that exists now.
    static NotifyFn notify_function();

protected:
    bool event(QEvent* event) override;

private:
    Handler handler_;
};

}  // namespace setxfer::app
