// Message boxes built from the flows' Message records.
#include "message_box.h"

#include <QMessageBox>
#include <QPushButton>

#include "sjis.h"

namespace setxfer::app {
namespace {

MessageHook hook;

QMessageBox::Icon qt_icon(Icon icon) {
    switch (icon) {
    case Icon::Warning: return QMessageBox::Warning;
    case Icon::Error: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void set_message_hook(MessageHook h) { hook = std::move(h); }

bool show_message(QWidget* parent, const Message& m) {
    if (hook) return hook(parent, m);
    auto text = [&](const std::string& s) { return m.shift_jis ? from_cp932(s) : from_utf8(s); };
    bool ok_cancel = m.buttons == Buttons::OkCancel;
    QMessageBox box(qt_icon(m.icon), text(m.caption), text(m.text),
                    ok_cancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("message"));
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    if (ok_cancel) box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
    return box.exec() == QMessageBox::Ok;
}

}  // namespace setxfer::app
