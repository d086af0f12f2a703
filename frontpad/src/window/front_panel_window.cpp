// Builds the window's controls at their places and forwards clicks, keys,
// posted notifications and the close request to the Controller.
#include "front_panel_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include "frontpad/notify_forward.h"
#include "keypad_art.h"
#include "panel_widgets.h"

namespace frontpad {
namespace {

// "ｷｰｴﾐｭﾚｰｼｮﾝ B75"
constexpr const char* kTitle = "\uFF77\uFF70\uFF74\uFF90\uFF6D\uFF9A\uFF70\uFF7C\uFF6E\uFF9D B75";

struct CommandButton {
    int id;
    const char* caption;
    int y;
};
constexpr CommandButton kCommands[] = {
    {40002, "接続", 10},
    {40003, "切断", 42},
    {40004, "\uFF7C\uFF98\uFF71\uFF99\uFF8E\uFF9F\uFF70\uFF84設定", 74},  // ｼﾘｱﾙﾎﾟｰﾄ設定
    {40005, "画面の再描画", 106},
    {40001, "終了", 138},
};

}  // namespace

FrontPanelWindow::FrontPanelWindow(RemoteFactory factory, const SettingsStore& settings)
    : settings_(settings),
      background_(drawKeypadBackground()),
      faces_(drawFaceSheet()),
      poster_(this, kTitle),
      controller_(std::make_unique<Controller>(static_cast<View&>(*this), factory, settings.read())) {
    setWindowTitle(QString::fromUtf8(kTitle));
    setWindowIcon(drawIcon());
    setFixedSize(640, 414);
    buildControls();
    buildKeypad();
}

FrontPanelWindow::~FrontPanelWindow() {
    painted_ = nullptr;
    controller_.reset();  // stops the library's threads before the poster goes
    setNotifyTarget(nullptr);
}

void FrontPanelWindow::buildControls() {
    screen_ = new ScreenArea(painted_, this);
    screen_->setGeometry(10, 10, 512, 160);
    receiver_ = new KeyReceiver([this](const PcKey& k) { controller_->pcKeyDown(k); },
                                [this](const PcKey& k) { controller_->pcKeyUp(k); }, this);
    receiver_->lower();
    for (const auto& c : kCommands) {
        auto* button = new QPushButton(QString::fromUtf8(c.caption), this);
        button->setObjectName(QString::number(c.id));
        button->setGeometry(530, c.y, 100, 26);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoDefault(false);
        commands_[c.id] = button;
        connect(button, &QPushButton::released, this, [this] { focusKeyReceiver(); });
    }
    commands_[40002]->setDefault(true);
    connect(commands_[40002], &QPushButton::clicked, this, [this] { controller_->connect(); });
    connect(commands_[40003], &QPushButton::clicked, this, [this] { controller_->disconnect(); });
    connect(commands_[40004], &QPushButton::clicked, this, [this] { controller_->portSettings(); });
    connect(commands_[40005], &QPushButton::clicked, this, [this] { controller_->redraw(); });
    connect(commands_[40001], &QPushButton::clicked, this, [this] { close(); });
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("1022"));
    status_->setGeometry(10, 388, 300, 18);
    shift_ = new QLabel(this);
    shift_->setObjectName(QStringLiteral("1023"));
    shift_->setGeometry(320, 388, 310, 18);
}

void FrontPanelWindow::buildKeypad() {
    auto* area = new QLabel(this);
    area->setObjectName(QStringLiteral("1019"));
    area->setGeometry(10, 180, 620, 200);
    area->setPixmap(QPixmap::fromImage(background_));
    for (const KeyButton& key : kKeyButtons) {
        auto* button = new KeyFaceButton(key, faces_, this);
        button->setEnabled(false);
        keys_[key.id] = button;
        const int code = key.code;
        connect(button, &QAbstractButton::clicked, this, [this, code] {
            if (code == kShiftCode) controller_->shiftButton();
            else controller_->keyButton(code);
        });
        connect(button, &QAbstractButton::released, this, [this] { focusKeyReceiver(); });
    }
}

bool FrontPanelWindow::start() {
    setNotifyTarget(&poster_);
    controller_->start(&poster_, forwardNotification);
    painted_ = controller_.get();
    return !ended_;
}

void FrontPanelWindow::bringToFront() {
    if (ended_) return;
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

bool FrontPanelWindow::event(QEvent* e) {
    if (e->type() == PostedMessage::type()) {
        const auto* m = static_cast<const PostedMessage*>(e);
        if (m->message == NotifyMessage && !ended_) controller_->notification(m->wParam, m->lParam);
        return true;
    }
    return QDialog::event(e);
}

void FrontPanelWindow::closeEvent(QCloseEvent* e) {
    if (ended_) return e->accept();
    e->ignore();
    controller_->close();
}

void FrontPanelWindow::reject() {
    if (!ended_) controller_->close();
}

void FrontPanelWindow::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!ended_) controller_->repaint();
}

QPushButton* FrontPanelWindow::command(int id) const {
    auto it = commands_.find(id);
    return it == commands_.end() ? nullptr : it->second;
}
QAbstractButton* FrontPanelWindow::key(int id) const {
    auto it = keys_.find(id);
    return it == keys_.end() ? nullptr : it->second;
}
QWidget* FrontPanelWindow::keyReceiver() const { return receiver_; }
QWidget* FrontPanelWindow::screenArea() const { return screen_; }
QString FrontPanelWindow::statusText() const { return status_->text(); }

}  // namespace frontpad
