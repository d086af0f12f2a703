// Layout of the save dialog.
#include "save_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "message_box.h"
#include "sjis.h"

namespace setxfer::app {

SaveDialog::SaveDialog(QWidget* parent, Session& session)
    : QDialog(parent), panel_(QStringLiteral("保存先")), controller_(session, *this) {
    setObjectName(QStringLiteral("saveDialog"));
    setWindowTitle(QStringLiteral("設定ﾃﾞｰﾀ受信操作（ﾌｧｲﾙに書き込み）画面"));
    ascii_ = new QCheckBox(QStringLiteral("ASCII"));
    ascii_->setObjectName(QStringLiteral("ascii"));
    start_ = new QPushButton(QStringLiteral("保存開始"));
    start_->setObjectName(QStringLiteral("start"));
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"));
    cancel->setObjectName(QStringLiteral("cancel"));
    for (auto* b : {start_, cancel}) b->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("保存タイプ")), 0, 0);
    grid->addWidget(panel_.types, 0, 1);
    grid->addWidget(ascii_, 0, 2);
    grid->addWidget(panel_.path_group, 1, 0, 1, 3);
    grid->addWidget(panel_.status, 2, 0, 1, 3);
    grid->addWidget(start_, 3, 1);
    grid->addWidget(cancel, 3, 2);

    connect(panel_.browse, &QPushButton::clicked, this, [this] { controller_.browse(); });
    connect(start_, &QPushButton::clicked, this, [this] { controller_.start(); });
    connect(cancel, &QPushButton::clicked, this, [this] { controller_.cancel(); });
    controller_.open();
}

bool SaveDialog::show_message(const Message& message) { return app::show_message(this, message); }
int SaveDialog::selected_type() const { return panel_.types->currentIndex(); }
void SaveDialog::set_path(const std::string& path) { panel_.path->setText(QString::fromStdString(path)); }
std::string SaveDialog::path() const { return panel_.path->text().toStdString(); }
void SaveDialog::set_status(std::string_view text) { panel_.status->setText(from_utf8(text)); }
std::optional<std::string> SaveDialog::choose_file() { return app::choose_file(this, panel_.path->text()); }
bool SaveDialog::ascii_checked() const { return ascii_->isChecked(); }
void SaveDialog::set_start_enabled(bool enabled) { start_->setEnabled(enabled); }

}  // namespace setxfer::app
