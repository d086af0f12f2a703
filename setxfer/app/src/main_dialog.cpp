// Layout of the main dialog and its forwarding to the flow.
#include "main_dialog.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "message_box.h"
#include "save_dialog.h"
#include "send_dialog.h"
#include "sjis.h"
#include "table_dialog.h"
#include "version_dialog.h"

namespace setxfer::app {

MainDialog::MainDialog(Session& session, SettingsStore& store)
    : session_(session),
      controller_(session, *this, store),
      bridge_([this](int code, int status, void* data) { controller_.dispatch(code, status, data); }) {
    setObjectName(QStringLiteral("mainDialog"));
    setWindowTitle(QStringLiteral("設定送受信ソフト"));
    setWindowIcon(style()->standardIcon(QStyle::SP_DriveNetIcon));

    auto* work = new QGroupBox(QStringLiteral("作業選択ﾎﾞﾀﾝ"));
    auto* work_row = new QHBoxLayout(work);
    work_row->addWidget(button("save", QStringLiteral("設定保存")));
    work_row->addWidget(button("send", QStringLiteral("設定送信")));
    auto* editor = new QGroupBox(QStringLiteral("入力エディタ"));
    (new QHBoxLayout(editor))->addWidget(button("table", QStringLiteral("ﾃｰﾌﾞﾙﾃﾞｰﾀ入力")));

    auto* art = new QLabel;  // the dialog's picture beside the notice
    art->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(40, 40));
    auto* notice = new QLabel(QStringLiteral("本体の電源は切らないで下さい。"));
    auto* notice_row = new QHBoxLayout;
    notice_row->addWidget(art);
    notice_row->addWidget(notice, 1);

    auto* tools = new QHBoxLayout;
    tools->addWidget(button("port", QStringLiteral("ｼﾘｱﾙﾎﾟｰﾄ設定")));
    tools->addWidget(button("version", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報")));
    tools->addWidget(button("exit", QStringLiteral("終了")));

    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("status"));
    status_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    status_->setMinimumWidth(420);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(notice_row);
    layout->addWidget(work);
    layout->addWidget(editor);
    layout->addLayout(tools);
    layout->addWidget(status_);

    connect(buttons_[0], &QPushButton::clicked, this, [this] { controller_.on_work(WorkMode::Save); });
    connect(buttons_[1], &QPushButton::clicked, this, [this] { controller_.on_work(WorkMode::Send); });
    connect(buttons_[2], &QPushButton::clicked, this, [this] { controller_.on_work(WorkMode::TableInput); });
    connect(buttons_[3], &QPushButton::clicked, this, [this] { controller_.on_port_button(); });
    connect(buttons_[4], &QPushButton::clicked, this, [this] { controller_.on_version_button(); });
    connect(buttons_[5], &QPushButton::clicked, this, [this] { controller_.on_exit_button(); });
}

MainDialog::~MainDialog() {
    // A Remote still held here (the program was killed by its window system) goes first,
    // so no notification arrives for a dialog that is gone.
    if (session_.remote) session_.remote->Release();
    session_.remote = nullptr;
}

QPushButton* MainDialog::button(const char* name, const QString& text) {
    auto* b = new QPushButton(text);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    buttons_.push_back(b);
    return b;
}

bool MainDialog::start() { return controller_.start(&bridge_, NotifyBridge::notify_function()); }

bool MainDialog::show_message(const Message& message) { return app::show_message(this, message); }
void MainDialog::set_status(std::string_view text) { status_->setText(from_utf8(text)); }
void MainDialog::set_buttons_enabled(bool enabled) {
    for (auto* b : buttons_) b->setEnabled(enabled);
}

void MainDialog::run_save_dialog() {
    SaveDialog dialog(this, session_);
    dialog.exec();
}

void MainDialog::run_send_dialog() {
    SendDialog dialog(this, session_, controller_);
    dialog.exec();
}

void MainDialog::run_table_dialog() {
    TableDialog dialog(this, session_, controller_);
    dialog.exec();
}

void MainDialog::run_version_dialog() {
    VersionDialog dialog(this);
    dialog.exec();
}

void MainDialog::end_program(int exit_code) {
    ended_ = true;
    hide();
    if (on_end) on_end(exit_code);
}

void MainDialog::closeEvent(QCloseEvent* event) {
    event->ignore();  // the flow decides when the program ends
    if (!ended_) controller_.request_close();
}

void MainDialog::reject() {
    if (!ended_) controller_.request_close();
}

}  // namespace setxfer::app
