// The three entries of the plugin: dialogs over the application's active
// window, or -1 (Cancel for the prompt) where no widgets can be shown.
#include "entry_points.h"

#include <QApplication>
#include <QThread>

#include "buffer_setting_dialog.h"
#include "port_choices.h"
#include "port_setting_dialog.h"
#include "ui_texts.h"
#include "warning_box.h"

namespace commlib::ui {

bool widgetsAvailable() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app && QThread::currentThread() == app->thread();
}

int runPortSettingDialog(CommlibUiPort* settings) {
    if (!settings || !widgetsAvailable()) return -1;
    PortSettingDialog dialog(*settings, serialDevices());
    return dialog.DoModal(PortSettingDialog::Template, QApplication::activeWindow());
}

int runBufferSettingDialog(CommlibUiBuffer* settings) {
    if (!settings || !widgetsAvailable()) return -1;
    BufferSettingDialog dialog(*settings);
    return dialog.DoModal(BufferSettingDialog::Template, QApplication::activeWindow());
}

int askForBufferSetup(const char* caption) {
    if (!widgetsAvailable()) return 0;
    const QString title = QString::fromUtf8(caption ? caption : "");
    return showWarning(QApplication::activeWindow(), title, tableText(StrSetUpBuffer), true) ? 1 : 0;
}

}  // namespace commlib::ui
