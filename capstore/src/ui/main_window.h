// capstore's main window: the Qt side of MainView and ConvertView, the
// posting target of both libraries, and the wiring of the two controllers.
// GUI thread only, except post(), which any thread may call.
#pragma once
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "app/main_controller.h"
#include "convert/convert_controller.h"
#include "live/live_feed.h"
#include "live/live_line_queue.h"
#include "platform/window.h"
#include "settings/settings_store.h"
#include "textlib/text_convert.h"
#include "ui/conversion_panel.h"
#include "ui/indicator_strip.h"
#include "ui/live_pane.h"
#include "ui/status_bar.h"

namespace capstore {

class MainWindow : public QWidget, public MainView, public platform::Window {
    Q_OBJECT
public:
    MainWindow(Language language, SettingsStore& settings, Remote& remote, TextConvert& convert);
    ~MainWindow() override;

    // Initialize on the library with the stored settings: 0 ready (the window
    // shows), -1 the user refused the PC buffer prompt, other = failure.
    int initialise(const StoredPort& port, const StoredBuffer& buffer, const ConvertOptions& options);

    bool ended() const { return ended_; }
    int result() const { return result_; }
    MainController& controller() { return *main_; }
    ConvertController& converter() { return *convert_; }
    ConversionPanel& conversion_panel() { return *panel_; }
    IndicatorStrip& rate_indicator() { return *rate_; }
    StatusBar& status_bar() { return *status_; }
    LivePane& live_pane() { return *live_; }
    QCheckBox& live_show() { return *live_show_; }
    bool live_running() const { return live_feed_.running(); }

    // platform::Window (and, through converter_target_, TextWindow): queue
    // for the GUI thread.
    bool post(unsigned message, std::uintptr_t w_param, std::intptr_t l_param) override;
    const char* title() const override { return title_.c_str(); }

    // MainView.
    void set_title(const std::string& title) override;
    void show_control(int id, bool shown) override;
    void enable_control(int id, bool enabled) override;
    int focused_control() const override;
    void focus_control(int id) override;
    void make_default(int id) override;
    void set_control_text(int id, const std::string& text) override;
    void set_status_text(const std::string& text) override;
    void set_indicator(int part, bool on) override;
    void set_rate_speed(int speed) override;
    void set_convert_speed(int speed) override;
    Answer message_box(const std::string& caption, const std::string& text, Icon icon, Buttons buttons) override;
    void end_program(int result) override;

signals:
    void program_ended(int result);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* build_monitor();
    QWidget* build_side();
    void environment_menu();
    void about_box();
    QWidget* control(int id) const;
    void start_measure();
    void show_live(bool shown);
    // The live conversion ends once the window is offline again.
    void end_live_when_offline();

    // textlib's posting interface returns nothing; it forwards to post().
    class ConvertTarget : public TextWindow {
    public:
        explicit ConvertTarget(MainWindow& w) : w_(w) {}
        void post(unsigned m, std::uintptr_t wp, std::intptr_t lp) override { w_.post(m, wp, lp); }

    private:
        MainWindow& w_;
    };

    Language language_;
    ConvertTarget converter_target_{*this};
    SettingsStore& settings_;
    Remote& remote_;
    TextConvert& text_convert_;
    std::unique_ptr<MainController> main_;
    std::unique_ptr<ConvertController> convert_;
    ConversionPanel* panel_ = nullptr;
    IndicatorStrip* rate_ = nullptr;
    StatusBar* status_ = nullptr;
    QPushButton* environment_ = nullptr;
    QCheckBox* live_show_ = nullptr;
    LivePane* live_ = nullptr;
    LiveLineQueue live_queue_{kLiveLines};
    LiveFeed live_feed_{text_convert_, live_queue_};  // after the queue it fills
    QTimer tick_;
    std::string title_;
    PortSettings port_{};
    BufferSettings buffer_{};
    bool ended_ = false;
    int result_ = 0;
};

}  // namespace capstore
