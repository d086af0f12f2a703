// Start-up in the documented order; every failure ends with its message and
// a nonzero exit code, the user's refusal of the PC buffer prompt with 0.
#include "startup/start_program.h"

#include <QApplication>
#include <QMessageBox>
#include <csignal>

#include "settings/settings_store.h"
#include "startup/version_check.h"
#include "texts/string_table.h"
#include "ui/main_window.h"
#include "ui/ui_texts.h"

namespace capstore {
namespace {

void startup_message(Language language, const QString& text) {
    QMessageBox box(QMessageBox::Critical, qs(string_text(str::kAppTitle, language)), text, QMessageBox::Ok);
    box.exec();
}

// Releases the two library objects however start-up ends.
struct Objects {
    Remote* remote = nullptr;
    TextConvert* convert = nullptr;
    bool remote_released = false;
    ~Objects() {
        if (convert) convert->Release();
        if (remote && !remote_released) remote->Release();
    }
};

}  // namespace

int run_program(int argc, char** argv) {
    QApplication app(argc, argv);
    // A file size limit (ulimit -f) must end storing with a message, not the program.
    std::signal(SIGXFSZ, SIG_IGN);
    const Language language = language_from_environment();
    if (const char* problem = version_problem(library_version(kCommlibName), library_version(kTextlibName))) {
        startup_message(language, QString::fromUtf8(problem));
        return 1;
    }
    SettingsStore settings(SettingsPaths::standard());
    const StoredPort port = settings.read_port();
    const StoredBuffer buffer = settings.read_buffer();
    ConvertOptions options{};
    settings.read_convert(options);

    Objects objects;
    if (CreateMirlokeTextConvert(&objects.convert) != 1 || !objects.convert ||
        CreateMirlokeRemote(&objects.remote) != 1 || !objects.remote) {
        startup_message(language, qs(string_text(str::kInitFailed, language)));
        return 1;
    }
    MainWindow window(language, settings, *objects.remote, *objects.convert);
    QObject::connect(&window, &MainWindow::program_ended, &app, [&](int result) {
        objects.remote_released = true;  // the exit steps released it
        QApplication::exit(result);
    });
    const int r = window.initialise(port, buffer, options);
    if (r == -1) return 0;
    if (r != 0) {
        startup_message(language, qs(string_text(str::kInitFailed, language)));
        return 1;
    }
    return app.exec();
}

}  // namespace capstore
