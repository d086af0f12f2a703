// The window handle the library and the notification callback post to: each
// post becomes a queued Qt event for the window, handled on the GUI thread.
#pragma once
#include <QEvent>
#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <string>

#include "platform/window.h"

namespace frontpad {

class PostedMessage : public QEvent {
public:
    static QEvent::Type type();
    PostedMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
        : QEvent(type()), message(message), wParam(wParam), lParam(lParam) {}
    const unsigned message;
    const std::uintptr_t wParam;
    const std::intptr_t lParam;
};

class NotifyPoster : public platform::Window {
public:
    NotifyPoster(QObject* target, std::string title) : target_(target), title_(std::move(title)) {}
    bool post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    const char* title() const override { return title_.c_str(); }

private:
    QObject* target_;
    std::string title_;
};

}  // namespace frontpad
