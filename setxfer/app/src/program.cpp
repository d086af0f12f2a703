// A second copy ends silently; a Remote that cannot be made ends the program
// silently too; an Initialize failure has shown its message by then.
#include "program.h"

#include <QApplication>

#include "main_dialog.h"
#include "qt_settings_store.h"
#include "single_instance.h"

namespace setxfer::app {

int run_program(const QString& system_settings) {
    SingleInstance instance("MIRLOKE_SETXFER.lock");
    if (!instance.first()) return 0;

    Session session;
    Remote* remote = nullptr;
    if (CreateMirlokeRemote(&remote) == 0 || !remote) return 0;
    session.remote = remote;

    QtSettingsStore store(system_settings);
    MainDialog dialog(session, store);
    int exit_code = 0;
    bool ended = false;
    dialog.on_end = [&](int code) {
        exit_code = code;
        ended = true;
        QApplication::exit(code);
    };
    dialog.show();
    if (!dialog.start()) return 1;
    if (!ended) QApplication::exec();
    return exit_code;
}

}  // namespace setxfer::app
