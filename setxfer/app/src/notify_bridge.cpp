// The notification function only posts; it never calls back into the library.
#include "notify_bridge.h"

#include <QCoreApplication>
#include <QEvent>
#include <atomic>

namespace setxfer::app {
namespace {

const QEvent::Type kNotifyEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class NotifyEvent : public QEvent {
public:
    NotifyEvent(std::uintptr_t w, std::intptr_t l) : QEvent(kNotifyEvent), w_param(w), l_param(l) {}
    std::uintptr_t w_param;
    std::intptr_t l_param;
};

std::atomic<NotifyBridge*> current{nullptr};

int notify(int code, int status, void* data) {
    if (NotifyBridge* bridge = current.load()) {
        bridge->post(NotifyMessage, PackNotification(status, code), reinterpret_cast<std::intptr_t>(data));
    }
    return 0;
}

}  // namespace

NotifyBridge::NotifyBridge(Handler handler) : handler_(std::move(handler)) { current.store(this); }

NotifyBridge::~NotifyBridge() {
    NotifyBridge* self = this;
    current.compare_exchange_strong(self, nullptr);
}

NotifyFn NotifyBridge::notify_function() { return notify; }

bool NotifyBridge::post(unsigned message, std::uintptr_t w_param, std::intptr_t l_param) {
    if (message != NotifyMessage) return false;
    QCoreApplication::postEvent(this, new NotifyEvent(w_param, l_param));
    return true;
}

bool NotifyBridge::event(QEvent* e) {
    if (e->type() != kNotifyEvent) return QObject::event(e);
    auto* n = static_cast<NotifyEvent*>(e);
    handler_(NotificationCode(n->w_param), NotificationStatus(n->w_param), reinterpret_cast<void*>(n->l_param));
    return true;
}

}  // namespace setxfer::app
