// frontpad: the analyzer's front panel on the PC. One copy at a time; a second
// start brings the first copy's window to the front and ends.
#include <QApplication>

#include "platform/program_help.h"
#include "window/front_panel_window.h"
#include "window/single_instance.h"

namespace {

constexpr const char* kHelp =
    "usage: frontpad [Qt options]\n"
    "\n"
    "The front panel of an RV-7010/7020/7030 analyzer on the PC: its screen and keys\n"
    "over the serial port chosen in the port dialog.\n"
    "\n"
    "  --help    show this text\n"
    "\n"
    "Standard Qt options such as -platform are taken as well. See frontpad(1).\n";

}  // namespace

int main(int argc, char** argv) {
    if (platform::answerHelp(argc, argv, kHelp)) return 0;
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
