// Layout of the send dialog.
#include "send_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "message_box.h"
#include "sjis.h"

namespace setxfer::app {

SendDialog::SendDialog(QWidget* parent, Session& session, MainController& main)
    : QDialog(parent), panel_(QStringLiteral("送信ﾌｧｲﾙ")), controller_(session, *this, main) {
    setObjectName(QStringLiteral("sendDialog"));
    setWindowTitle(QStringLiteral("設定ﾃﾞｰﾀ送信操作（ﾌｧｲﾙから読みこみ送信）画面"));
    start_ = new QPushButton(QStringLiteral("送信開始"));
    start_->setObjectName(QStringLiteral("start"));
    cancel_ = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"));
    cancel_->setObjectName(QStringLiteral("cancel"));
    for (auto* b : {start_, cancel_}) b->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("送信ﾀｲﾌﾟ")), 0, 0);
    grid->addWidget(panel_.types, 0, 1, 1, 2);
    grid->addWidget(panel_.path_group, 1, 0, 1, 3);
    grid->addWidget(panel_.status, 2, 0, 1, 3);
    grid->addWidget(start_, 3, 1);
    grid->addWidget(cancel_, 3, 2);

    connect(panel_.browse, &QPushButton::clicked, this, [this] { controller_.browse(); });
    connect(start_, &QPushButton::clicked, this, [this] { controller_.start(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { controller_.cancel(); });
    controller_.open();
}

bool SendDialog::show_message(const Message& message) { return app::show_message(this, message); }
int SendDialog::selected_type() const { return panel_.types->currentIndex(); }
void SendDialog::set_path(const std::string& path) { panel_.path->setText(QString::fromStdString(path)); }
std::string SendDialog::path() const { return panel_.path->text().toStdString(); }
void SendDialog::set_status(std::string_view text) { panel_.status->setText(from_utf8(text)); }
std::optional<std::string> SendDialog::choose_file() { return app::choose_file(this, panel_.path->text()); }

void SendDialog::set_controls(const Controls& c) {
    start_->setEnabled(c.start);
    cancel_->setEnabled(c.cancel);
    panel_.path->setEnabled(c.path);
    panel_.types->setEnabled(c.types);
    panel_.browse->setEnabled(c.browse);
}

void SendDialog::reject() {
    if (cancel_->isEnabled()) controller_.cancel();
}

}  // namespace setxfer::app
