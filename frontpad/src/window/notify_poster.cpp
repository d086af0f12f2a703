// postEvent is safe from any thread; the event is delivered in order on the
// thread that owns the window.
#include "notify_poster.h"

#include <QCoreApplication>

namespace frontpad {

QEvent::Type PostedMessage::type() {
    static const auto kRegistered = static_cast<QEvent::Type>(QEvent::registerEventType());
    return kRegistered;
}

bool NotifyPoster::post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    QCoreApplication::postEvent(target_, new PostedMessage(message, wParam, lParam));
    return true;
}

}  // namespace frontpad
