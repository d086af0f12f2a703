// Renders the main window in English and Japanese, idle and measuring
// against the simulated analyzer (its live view showing the frames in the
// translation layout), to PNG files for a person to look at:
//   capstore_screenshots <folder>   (made when missing)
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "simulator/pty_server.h"
#include "ui/main_window.h"

namespace {

using namespace capstore;

bool wait_for(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done() && std::chrono::steady_clock::now() < end) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

bool error_in_view(const LivePane& pane) {
    QTextBlock b = pane.text()->document()->lastBlock();
    for (int k = 0; k < 6 && b.isValid(); ++k, b = b.previous()) {
        const QTextBlock::iterator it = b.begin();
        if (!it.atEnd() && it.fragment().charFormat().foreground().color() == LivePane::error_colour()) return true;
    }
    return false;
}

bool save(QWidget& window, const QString& file) {
    QApplication::processEvents();
    const bool ok = window.grab().save(file);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(file));
    return ok;
}

bool shoot(const QString& folder, Language language, const std::string& work) {
    const QString suffix = language == Language::Japanese ? "ja" : "en";
    simulator::AnalyzerOptions options;
    options.records_per_second = 20000;
    options.line_mode = simulator::LineMode::Hdlc;
    options.protocol = simulator::FrameProtocol::X25Mod8;
    simulator::PtyServer server(options);
    std::atomic<bool> stop{false};
    std::thread serving([&] { server.run(stop); });
    SettingsStore settings({QString::fromStdString(work + "/user.ini"), QString::fromStdString(work + "/system.ini"),
                            QString::fromStdString(work + "/")});
    Remote* remote = nullptr;
    TextConvert* convert = nullptr;
    CreateMirlokeRemote(&remote);
    CreateMirlokeTextConvert(&convert);
    bool ok = false;
    {
        MainWindow window(language, settings, *remote, *convert);
        StoredPort port;
        port.name = server.slave_path();
        StoredBuffer buffer;
        buffer.path = work + "/buffer-" + suffix.toStdString();
        std::filesystem::create_directories(buffer.path);
        buffer.warn = false;
        ConvertOptions o{};
        settings.read_convert(o);
        if (window.initialise(port, buffer, o) == 0) {
            window.resize(window.sizeHint());
            ok = save(window, folder + "/capstore_idle_" + suffix + ".png");
            window.findChild<QRadioButton*>(QString::number(id::kTranslate))->setChecked(true);
            window.findChild<QComboBox*>(QString::number(id::kFrame))->setCurrentIndex(1);  // X.25 modulo 8
            window.findChild<QPushButton*>("40301")->click();
            ok = ok && wait_for([&] { return window.controller().state().block_count >= 1; });
            ok = ok && wait_for([&] { return window.status_bar().text().contains("MBytes"); });
            ok = ok && wait_for([&] { return window.live_pane().text()->document()->blockCount() > 60; });
            // Best with a frame in error among the lines in view (the simulated line has them now and then).
            wait_for([&] { return error_in_view(window.live_pane()); });
            ok = ok && save(window, folder + "/capstore_measuring_" + suffix + ".png");
        }
        remote->Close();
        remote->Release();
    }
    convert->Release();
    stop = true;
    serving.join();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder for the PNG files>\n", argv[0]);
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const std::string work = std::filesystem::temp_directory_path() / "capstore-screenshots";
    std::filesystem::create_directories(work);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot make the folder %s\n", argv[1]);
        return 1;
    }
    const bool ok = shoot(folder, Language::English, work) && shoot(folder, Language::Japanese, work);
    std::filesystem::remove_all(work);
    return ok ? 0 : 1;
}
