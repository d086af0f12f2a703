// OK and Cancel for the library's dialogs.
#include "dialog_buttons.h"

#include <QDialog>
#include <QPushButton>

#include "modal_dialog.h"
#include "ui_texts.h"

namespace commlib::ui {

QBoxLayout* OkCancelButtons(QDialog& window, Qt::Orientation direction) {
    auto* layout = new QBoxLayout(direction == Qt::Vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    if (direction == Qt::Horizontal) layout->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("OK"), &window);
    ok->setObjectName(QString::number(IdOk));
    ok->setDefault(true);
    auto* cancel = new QPushButton(LocalText(CancelText), &window);
    cancel->setObjectName(QString::number(IdCancel));
    layout->addWidget(ok);
    layout->addWidget(cancel);
    if (direction == Qt::Vertical) layout->addStretch(1);
    return layout;
}

}  // namespace commlib::ui
