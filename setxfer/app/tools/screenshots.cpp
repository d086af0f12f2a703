// Renders the main, save, send, table data and version dialogs to PNG files in
// the folder given as the argument, with an RV-7030's data sets held locally
// (no analyzer needed). Run by hand: QT_QPA_PLATFORM=offscreen setxfer_screenshots out/
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdio>
#include <vector>

#include "main_dialog.h"
#include "qt_settings_store.h"
#include "save_dialog.h"
#include "send_dialog.h"
#include "table_dialog.h"
#include "version_dialog.h"

namespace {

using namespace setxfer;

// Data sets as after a read; every request is only noted.
class ShotRemote : public Remote {
public:
    std::vector<std::uint8_t> setup = std::vector<std::uint8_t>(SetupSize);
    std::vector<std::uint8_t> table = std::vector<std::uint8_t>(TableCapacity);
    std::vector<std::uint8_t> program = std::vector<std::uint8_t>(ProgramSize);
    PortSettings port{"COM1", 115200, 0, 0};
    ShotRemote() {
        for (int k = 1; k <= 16; ++k) table[4 * k] = 40;  // table 0 holds 40 cells
    }
    void Release() override {}
    int Initialize(WindowHandle, NotifyFn, const PortSettings*, const BufferSettings*) override { return 0; }
    int Open() override { return 0; }
    void Close() override {}
    int Request(int, int, std::intptr_t) override { return 1; }
    const PortSettings* GetPortSettings() override { return &port; }
    const BufferSettings* GetBufferSettings() override { return nullptr; }
    char* GetModelName(char* out, unsigned size) override { return std::snprintf(out, size, "RV-7030"), out; }
    int GetVersion() override { return 0; }
    int GetLinkMode() override { return 2; }
    void* GetSetupData() override { return setup.data(); }
    void* GetTableData() override { return table.data(); }
    void* GetProgramData() override { return program.data(); }
    int GetStatus() override { return 0; }
    int ResetLink() override { return 0; }
    const BitmapInfo* GetScreenInfo() override { return nullptr; }
    const void* GetScreenBits() override { return nullptr; }
};

bool shoot(QWidget& w, const QString& path) {
    w.show();
    w.adjustSize();
    QApplication::processEvents();
    bool ok = w.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.toLocal8Bit().constData());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    if (!out.mkpath(".")) {
        std::fprintf(stderr, "cannot make the folder %s\n", out.path().toLocal8Bit().constData());
        return 1;
    }
    ShotRemote remote;
    Session session;
    session.remote = &remote;
    session.model = Model::RV7030;
    session.model_text = "RV-7030";
    app::QtSettingsStore store;
    app::MainDialog main(session, store);
    bool ok = main.start();
    main.set_status("接続中です｡(本体の設定変更及び電源は切らないで下さい｡)");
    ok = shoot(main, out.filePath("setxfer_main.png")) && ok;
    app::SaveDialog save(&main, session);
    save.set_path("/home/user/settings/rv7030.txt");
    ok = shoot(save, out.filePath("setxfer_save.png")) && ok;
    app::SendDialog send(&main, session, main.controller());
    send.set_status("ﾃﾞｰﾀ送信終了");
    ok = shoot(send, out.filePath("setxfer_send.png")) && ok;
    app::TableDialog table(&main, session, main.controller());
    table.set_editor_bytes("ABCDEFG\r\n0123456789\r\n\x83\x65\x81\x5B\x83\x75\x83\x8B");  // テーブル
    table.set_status("表示されました");
    ok = shoot(table, out.filePath("setxfer_table.png")) && ok;
    app::VersionDialog version(&main);
    ok = shoot(version, out.filePath("setxfer_version.png")) && ok;
    session.remote = nullptr;  // the local Remote is not the library's
    return ok ? 0 : 1;
}
