// The tool's message boxes: caption, icon and buttons as the flows ask, with
// the buttons labelled in the tool's language.
#pragma once
#include <QWidget>
#include <functional>

#include "setxfer_flows/views.h"

namespace setxfer::app {

bool show_message(QWidget* parent, const Message& message);
// Tests answer the boxes themselves; null puts the real box back.
using MessageHook = std::function<bool(QWidget*, const Message&)>;
void set_message_hook(MessageHook hook);

}  // namespace setxfer::app
