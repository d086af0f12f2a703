// Layout of the table data dialog. The editor shows Unicode; the flow sees its
// text as code-page-932 bytes with CR LF line ends, which the analyzer's tables hold.
#include "table_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "message_box.h"
#include "sjis.h"

namespace setxfer::app {

TableDialog::TableDialog(QWidget* parent, Session& session, MainController& main)
    : QDialog(parent), controller_(session, *this, main) {
    setObjectName(QStringLiteral("tableDialog"));
    setWindowTitle(QStringLiteral("ﾃｰﾌﾞﾙﾃﾞｰﾀ入力画面"));

    auto* list_group = new QGroupBox(QStringLiteral("TABLE No選択"));
    tables_ = new QListWidget;
    tables_->setObjectName(QStringLiteral("tables"));
    for (int k = 0; k < 16; ++k) tables_->addItem(QStringLiteral("TABLE No.") + QString::number(k, 16).toUpper());
    tables_->setCurrentRow(0);
    tables_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tables_->setFixedWidth(tables_->sizeHintForColumn(0) + 2 * tables_->frameWidth() + 24);
    (new QVBoxLayout(list_group))->addWidget(tables_);

    auto* edit_group = new QGroupBox(QStringLiteral("エディタ画面"));
    editor_ = new QPlainTextEdit;
    editor_->setObjectName(QStringLiteral("editor"));
    editor_->setMinimumSize(360, 220);
    (new QVBoxLayout(edit_group))->addWidget(editor_);

    auto* ops = new QGroupBox(QStringLiteral("操作ﾎﾞﾀﾝ"));
    auto* ops_column = new QVBoxLayout(ops);
    ops_column->addWidget(button("send", QStringLiteral("送信開始")));
    ops_column->addWidget(button("clear", QStringLiteral("クリア")));
    ops_column->addWidget(button("last", QStringLiteral("　前回最終\n　表示ﾃﾞｰﾀ")));
    ops_column->addWidget(button("cancel", QStringLiteral("ｷｬﾝｾﾙ")));
    ops_column->addStretch();

    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("status"));
    status_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    free_ = new QLabel;
    free_->setObjectName(QStringLiteral("free"));
    free_->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    auto* grid = new QGridLayout(this);
    grid->addWidget(list_group, 0, 0);
    grid->addWidget(edit_group, 0, 1);
    grid->addWidget(ops, 0, 2);
    grid->addWidget(status_, 1, 0, 1, 2);
    grid->addWidget(free_, 1, 2);

    connect(buttons_[0], &QPushButton::clicked, this, [this] { controller_.send(); });
    connect(buttons_[1], &QPushButton::clicked, this, [this] { controller_.clear(); });
    connect(buttons_[2], &QPushButton::clicked, this, [this] { controller_.show_last(); });
    connect(buttons_[3], &QPushButton::clicked, this, [this] { controller_.cancel(); });
    controller_.open();
}

QPushButton* TableDialog::button(const char* name, const QString& text) {
    auto* b = new QPushButton(text);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    buttons_.push_back(b);
    return b;
}

bool TableDialog::show_message(const Message& message) { return app::show_message(this, message); }
int TableDialog::selected_table() const { return std::max(0, tables_->currentRow()); }

std::string TableDialog::editor_bytes() const {
    QString text = editor_->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return to_cp932(text);
}

void TableDialog::set_editor_bytes(const std::string& bytes) {
    QString text = from_cp932(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    editor_->setPlainText(text);
}

void TableDialog::set_status(std::string_view text) { status_->setText(from_utf8(text)); }
void TableDialog::set_free(std::string_view text) { free_->setText(from_utf8(text)); }

void TableDialog::set_controls(Controls controls) {
    bool all = controls == Controls::All;
    tables_->setEnabled(all);
    editor_->setEnabled(all);
    for (auto* b : buttons_) b->setEnabled(all);
    if (controls == Controls::CancelOnly) buttons_[3]->setEnabled(true);
}

void TableDialog::reject() {
    if (buttons_[3]->isEnabled()) controller_.cancel();
}

}  // namespace setxfer::app
