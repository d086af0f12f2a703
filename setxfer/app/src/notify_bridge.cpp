// The notification function only copies and posts; it never calls back into the library.
#include "notify_bridge.h"

#include <QCoreApplication>
#include <QEvent>
#include <atomic>

#include "commlib/notification_data.h"

namespace setxfer::app {
namespace {

const QEvent::Type kNotifyEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

std::atomic<NotifyBridge*> current{nullptr};

}  // namespace

int NotifyBridge::notify(int code, int status, void* data) {
    if (NotifyBridge* bridge = current.load()) bridge->mailbox_.post(CopyNotification(code, status, data));
    return 0;
}

NotifyBridge::NotifyBridge(Handler handler) : handler_(std::move(handler)) {
    mailbox_.setWake(this, NotifyMessage);
    current.store(this);
}

NotifyBridge::~NotifyBridge() {
    NotifyBridge* self = this;
    current.compare_exchange_strong(self, nullptr);
    mailbox_.setWake(nullptr, 0);
}

NotifyFn NotifyBridge::notify_function() { return notify; }

bool NotifyBridge::post(unsigned message, std::uintptr_t, std::intptr_t) {
    if (message != NotifyMessage) return false;
    QCoreApplication::postEvent(this, new QEvent(kNotifyEvent));
    return true;
}

bool NotifyBridge::event(QEvent* e) {
    if (e->type() != kNotifyEvent) return QObject::event(e);
    if (auto n = mailbox_.take())
        handler_(n->code, n->status, n->size ? n->bytes.data() : reinterpret_cast<void*>(n->value));
    return true;
}

}  // namespace setxfer::app
