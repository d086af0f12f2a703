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

bool WidgetsAvailable() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app && QThread::currentThread() == app->thread();
}

int RunPortSettingDialog(CommlibUiPort* settings) {
    if (!settings || !WidgetsAvailable()) return -1;
    PortSettingDialog dialog(*settings, SerialDevices());
    return dialog.DoModal(PortSettingDialog::Template, QApplication::activeWindow());
}

int RunBufferSettingDialog(CommlibUiBuffer* settings) {
    if (!settings || !WidgetsAvailable()) return -1;
    BufferSettingDialog dialog(*settings);
    return dialog.DoModal(BufferSettingDialog::Template, QApplication::activeWindow());
}

int AskForBufferSetup(const char* caption) {
    if (!WidgetsAvailable()) return 0;
    const QString title = QString::fromUtf8(caption ? caption : "");
    return ShowWarning(QApplication::activeWindow(), title, TableText(StrSetUpBuffer), true) ? 1 : 0;
}

}  // namespace commlib::ui
