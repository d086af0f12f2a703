// Renders both library dialogs, and the start-up prompt, in English and
// Japanese to PNG files without a display, for a person to look at:
//   commlib_ui_screenshots <folder>   (made when missing)
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "buffer_setting_dialog.h"
#include "port_setting_dialog.h"
#include "ui_texts.h"
#include "warning_box.h"

namespace {

using namespace commlib::ui;

bool Save(QWidget& widget, const QString& file) {
    widget.show();
    QApplication::processEvents();
    const bool ok = widget.grab().save(file);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(file));
    return ok;
}

bool ShootLanguage(const QString& folder, const char* lang) {
    ::setenv("LC_ALL", lang, 1);
    const QString suffix = QString::fromLatin1(lang).left(2);
    CommlibUiPort port{"COM3", 9600, 2, 1};
    PortSettingDialog portDialog(port, {"/dev/ttyUSB0"});
    CommlibUiBuffer buffer{"/home/user/zamvex-buffer", 64, 1, 0};
    BufferSettingDialog bufferDialog(buffer);
    if (!portDialog.Create(PortSettingDialog::Template, nullptr)) return false;
    if (!bufferDialog.Create(BufferSettingDialog::Template, nullptr)) return false;
    const auto prompt = MakeWarningBox(nullptr, QStringLiteral("ZAMVEX-3"), TableText(StrSetUpBuffer), true);
    return Save(*portDialog.Window(), folder + "/port_" + suffix + ".png") &&
           Save(*bufferDialog.Window(), folder + "/buffer_" + suffix + ".png") &&
           Save(*prompt, folder + "/prompt_" + suffix + ".png");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder for the PNG files>\n", argv[0]);
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot make the folder %s\n", argv[1]);
        return 1;
    }
    const bool ok = ShootLanguage(folder, "en_US.UTF-8") && ShootLanguage(folder, "ja_JP.UTF-8");
    return ok ? 0 : 1;
}
