// frontpad: the analyzer's front panel on the PC. One copy at a time; a second
// start brings the first copy's window to the front and ends.
#include <QApplication>

#include "window/front_panel_window.h"
#include "window/single_instance.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    frontpad::SingleInstance instance;
    if (!instance.acquire()) {
        instance.askFirstToRaise();
        return 0;
    }
    const frontpad::SettingsStore settings;
    frontpad::FrontPanelWindow window(CreateMirlokeRemote, settings);
    if (!window.start()) return window.result();
    window.setOnEnd([&app](int result) { app.exit(result); });
    instance.listen([&window] { window.bringToFront(); });
    window.show();
    app.exec();
    return window.result();
}
