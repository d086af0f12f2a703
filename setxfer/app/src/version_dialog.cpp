// Layout of the version dialog.
#include "version_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace setxfer::app {

VersionDialog::VersionDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("versionDialog"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("ミルローク設定送受信ソフト")));
    layout->addWidget(new QLabel(QStringLiteral("Version 1.00.02")));
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("ok"));
    layout->addWidget(ok, 0, Qt::AlignRight);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace setxfer::app
