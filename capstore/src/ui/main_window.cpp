// Builds the main window, connects its buttons to the controllers and turns
// posted library and conversion messages into calls on the GUI thread.
#include "ui/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QMenu>
#include <QStyle>
#include <QVBoxLayout>

#include "app/notify_codes.h"
#include "commlib/notification_data.h"
#include "convert/panel_values.h"
#include "platform/folder_check.h"
#include "ui/notify_bridge.h"
#include "ui/widget_helpers.h"

namespace capstore {
namespace {

// One posted message from a library thread.
class PostedEvent : public QEvent {
public:
    static QEvent::Type type() {
        static const auto kType = static_cast<QEvent::Type>(QEvent::registerEventType());
        return kType;
    }
    PostedEvent(unsigned message, std::uintptr_t w, std::intptr_t l) : QEvent(type()), message(message), w(w), l(l) {}
    unsigned message;
    std::uintptr_t w;
    std::intptr_t l;
};

long long free_mbytes(const std::string& folder) {
    const std::int64_t bytes = platform::freeBytes(folder);
    return bytes < 0 ? -1 : static_cast<long long>(bytes >> 20);
}

std::tm local_now() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return t;
}

}  // namespace

MainWindow::MainWindow(Language language, SettingsStore& settings, Remote& remote, TextConvert& convert)
    : language_(language), settings_(settings), remote_(remote), text_convert_(convert) {
    setObjectName(QString::number(id::kMainWindow));
    auto* top = new QHBoxLayout;
    top->addWidget(build_monitor(), 1);
    top->addWidget(build_side());
    live_ = new LivePane(language, live_queue_, this);
    panel_ = new ConversionPanel(language, this);
    status_ = new StatusBar(language, this);
    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addWidget(live_, 1);
    column->addWidget(panel_);
    column->addWidget(status_);

    MainHooks hooks;
    hooks.store_convert_silently = [this] { convert_->store_silently(); };
    hooks.store_buffer = [this](const BufferSettings& b) { settings_.write_buffer(b); };
    hooks.store_port = [this](const PortSettings& p) { settings_.write_port(p); };
    hooks.free_mbytes = free_mbytes;
    hooks.probe_folder = [](const std::string& folder) { return platform::probeFolderWritable(folder).errorNumber(); };
    main_ = std::make_unique<MainController>(remote_, *this, language, port_not_open_posts(), hooks);

    ConvertHooks convert_hooks;
    convert_hooks.store = [this](const ConvertOptions& o) { settings_.write_convert(o); };
    convert_hooks.trash = [](const std::string& file) { return QFile::moveToTrash(QString::fromStdString(file)); };
    convert_hooks.now = local_now;
    convert_hooks.window = &converter_target_;
    convert_ = std::make_unique<ConvertController>(text_convert_, *main_, *this, *panel_, convert_hooks);

    connect(panel_->start_button(), &QPushButton::clicked, this, [this] { convert_->on_start(); });
    connect(panel_->stop_button(), &QPushButton::clicked, this, [this] { convert_->on_stop(); });
    connect(panel_->delete_button(), &QPushButton::clicked, this, [this] { convert_->on_delete_text(); });
    connect(&tick_, &QTimer::timeout, this, [this] {
        main_->on_tick();
        end_live_when_offline();
    });
    live_show_->setChecked(settings_.read_live_view());
    show_live(live_show_->isChecked());
    connect(live_show_, &QCheckBox::toggled, this, [this](bool on) {
        show_live(on);
        settings_.write_live_view(on);
    });
    set_title(std::string(string_text(str::kAppTitle, language)));
}

MainWindow::~MainWindow() {
    attach_notify_window(nullptr);
    live_feed_.end(false);
}

QWidget* MainWindow::build_monitor() {
    auto* group = named(new QGroupBox(qs(caption_text(caption::kMonitor, language_)), this), id::kMonitorGroup);
    rate_ = named(new IndicatorStrip(IndicatorStrip::Picture::Rate, group), id::kRateStrip);
    auto* grid = new QGridLayout;
    int row = 0;
    for (int id : {id::kBlockCount, id::kBlockFill, id::kLost}) {
        grid->addWidget(label_for(id, language_, group), row, 0);
        auto* value = named(new QLabel("0", group), id);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(90);
        grid->addWidget(value, row++, 1);
    }
    auto* start = captioned<QPushButton>(id::kStartMeasure, language_, group);
    auto* stop = captioned<QPushButton>(id::kStopMeasure, language_, group);
    start->setDefault(true);
    stop->hide();
    grid->addWidget(start, row, 0, 1, 2);
    grid->addWidget(stop, row++, 0, 1, 2);
    live_show_ = captioned<QCheckBox>(id::kLiveShow, language_, group);
    grid->addWidget(live_show_, row, 0, 1, 2);
    auto* column = new QVBoxLayout(group);
    column->addWidget(rate_);
    column->addLayout(grid);
    connect(start, &QPushButton::clicked, this, &MainWindow::start_measure);
    connect(stop, &QPushButton::clicked, this, [this] { main_->on_stop_measure(); });
    return group;
}

QWidget* MainWindow::build_side() {
    auto* side = new QWidget(this);
    auto* picture = named(new QLabel(side), id::kPicture);
    picture->setPixmap(IndicatorStrip::badge());
    picture->setAlignment(Qt::AlignCenter);
    environment_ = captioned<QPushButton>(id::kEnvironment, language_, side);
    auto* about = captioned<QPushButton>(id::kAbout, language_, side);
    auto* exit = captioned<QPushButton>(id::kExit, language_, side);
    auto* column = new QVBoxLayout(side);
    column->addWidget(picture);
    column->addStretch();
    for (QPushButton* b : {environment_, about, exit}) column->addWidget(b);
    connect(environment_, &QPushButton::clicked, this, &MainWindow::environment_menu);
    connect(about, &QPushButton::clicked, this, &MainWindow::about_box);
    connect(exit, &QPushButton::clicked, this,
            [this] { QMetaObject::invokeMethod(this, "close", Qt::QueuedConnection); });
    return side;
}

// The live conversion starts before the connect, so that it has every word
// of the measurement, in the layout the conversion panel shows now.
void MainWindow::start_measure() {
    const bool live = live_show_->isChecked();
    if (live) {
        PanelValues values = panel_->panel();
        ConvertOptions options = convert_->options();
        read_panel(values, options);
        live_->restart();
        live_feed_.begin(options);
    }
    main_->on_start_measure();
    if (live && !main_->state().busy && main_->state().measure_state == 0) live_feed_.end(false);  // not started
}

void MainWindow::show_live(bool shown) {
    live_->setVisible(shown);
    // Opened during a measurement: its words so far are gone, so it waits for the next.
    live_->show_later_note(shown && !live_feed_.running() &&
                           (main_->state().busy || main_->state().measure_state != 0));
}

void MainWindow::end_live_when_offline() {
    if (main_->state().busy || main_->state().measure_state != 0) return;
    if (!live_feed_.running()) {
        live_->show_later_note(false);  // the next measurement is the pane's
        return;
    }
    live_feed_.end(true);
    live_->take_lines();
}

int MainWindow::initialise(const StoredPort& port, const StoredBuffer& buffer, const ConvertOptions& options) {
    convert_->load(options);
    attach_notify_window(this);
    const PortSettings p = port.record();
    const BufferSettings b = buffer.record();
    const int r = remote_.Initialize(this, notify_callback, &p, &b);
    if (r != 0) return r;
    live_feed_.attach(remote_);
    const BufferSettings* held = remote_.GetBufferSettings();
    main_->start(held ? *held : b);
    tick_.start(500);
    show();
    return 0;
}

bool MainWindow::post(unsigned message, std::uintptr_t w_param, std::intptr_t l_param) {
    QCoreApplication::postEvent(this, new PostedEvent(message, w_param, l_param));
    return true;
}

bool MainWindow::event(QEvent* e) {
    if (e->type() != PostedEvent::type()) return QWidget::event(e);
    const auto* posted = static_cast<PostedEvent*>(e);
    if (ended_) return true;
    if (posted->message == NotifyMessage) {
        // One notification per wake-up: the stop reason as its value, a block
        // range or store failure as a pointer to the callback's copy.
        const auto n = take_notification();
        if (!n) return true;
        const std::intptr_t data =
            n->code == ReqGetStopReason ? StopReasonOf(*n) : reinterpret_cast<std::intptr_t>(n->data());
        main_->on_notification(PackNotification(n->status, n->code), data);
    } else if (posted->message == kConvertMessage) convert_->on_notification(posted->w, posted->l);
    end_live_when_offline();
    return true;
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (ended_) {
        e->accept();
        return;
    }
    e->ignore();
    main_->on_close_request();
}

void MainWindow::environment_menu() {
    QMenu menu(this);
    QAction* port = menu.addAction(qs(caption_text(id::kPortSetting, language_)));
    QAction* buffer = menu.addAction(qs(caption_text(id::kBufferSetting, language_)));
    port->setObjectName(QString::number(id::kPortSetting));
    buffer->setObjectName(QString::number(id::kBufferSetting));
    QAction* chosen = menu.exec(environment_->mapToGlobal(environment_->rect().bottomLeft()));
    if (chosen == port) main_->on_port_setting();
    else if (chosen == buffer) main_->on_buffer_setting();
}

void MainWindow::about_box() {
    QDialog box(this);
    box.setObjectName(QString::number(id::kAboutBox));
    box.setWindowTitle(qs(caption_text(caption::kAboutTitle, language_)));
    auto* icon = new QLabel(&box);
    icon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32));
    auto* version = named(new QLabel(qs(caption_text(caption::kAboutVersion, language_)), &box), id::kAboutVersionText);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    auto* grid = new QGridLayout(&box);
    grid->addWidget(icon, 0, 0, 2, 1);
    grid->addWidget(new QLabel(qs(caption_text(caption::kAboutName, language_)), &box), 0, 1);
    grid->addWidget(version, 1, 1);
    grid->addWidget(buttons, 2, 0, 1, 2);
    box.exec();
}

}  // namespace capstore
