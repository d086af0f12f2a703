// Reading and writing the "Port", "Buffer" and "Convert" sections.
#include "settings/settings_store.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "settings/value_texts.h"

namespace capstore {
namespace {

constexpr std::size_t kMaxPath = 259;
constexpr std::size_t kMaxDelimit = 15;

QString qtext(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

void copy_text(char* out, std::size_t size, const std::string& text) {
    const std::size_t n = std::min(text.size(), size - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

int flag(int value) { return value != 0 ? 1 : 0; }

}  // namespace

SettingsStore::SettingsStore(const SettingsPaths& paths)
    : paths_(paths), settings_(paths.user_file, paths.system_file) {}

QString SettingsStore::key(const char* section, const char* value) const {
    return QString("%1/%2/%3").arg(kSettingsRoot, section, value);
}

std::string SettingsStore::read_text(const char* section, const char* value, const std::string& fallback) const {
    const auto t = settings_.text(key(section, value));
    return t ? t->toStdString() : fallback;
}

int SettingsStore::read_number(const char* section, const char* value, int fallback) const {
    // The stored numbers are 32-bit; anything wider counts as unreadable.
    const auto n = settings_.number(key(section, value));
    if (!n || *n < INT_MIN || *n > INT_MAX) return fallback;
    return static_cast<int>(*n);
}

StoredPort SettingsStore::read_port() const {
    StoredPort p;
    p.name = read_text("Port", "Name", "COM1").substr(0, kMaxPath);
    const int speed = read_number("Port", "Speed", 115200);
    p.speed = speed == 230400 ? 230400 : 115200;
    p.parity = kParityTexts.read(read_text("Port", "Parity", "None"));
    p.x_control = flag(read_number("Port", "XControl", 0));
    return p;
}

StoredBuffer SettingsStore::read_buffer() const {
    StoredBuffer b;
    b.path = read_text("Buffer", "Path", paths_.data_dir.toStdString() + "capstoref").substr(0, kMaxPath);
    b.max_blocks =
        std::clamp(read_number("Buffer", "MaxBlocks", pcbuffer::kDefaultMaxBlocks), 1, pcbuffer::kMaxBlocksLimit);
    b.warn = kWarnTexts.read(read_text("Buffer", "OverwriteWarning", "Enable")) != 0;
    b.ring = kModeTexts.read(read_text("Buffer", "BufferingMode", "Flat")) != 0;
    return b;
}

void SettingsStore::read_convert(ConvertOptions& o) const {
    o.Format = kFormatTexts.read(read_text("Convert", "Format", "Print"));
    o.Line = kLineTexts.read(read_text("Convert", "Line", "SDRD"));
    o.Start = read_number("Convert", "Start", 1);
    o.Blocks = read_number("Convert", "Blocks", 100);
    copy_text(o.SavePath, sizeof o.SavePath, read_text("Convert", "SavePath", paths_.data_dir.toStdString() + "text"));
    o.MaxLines = read_number("Convert", "MaxLines", 10000);
    if (o.MaxLines < 1 || o.MaxLines > 999999) o.MaxLines = 10000;

    o.PrintFormat = kPrintFormatTexts.read(read_text("Convert/Print", "Format", "Normal"));
    o.PrintData = kPrintDataTexts.read(read_text("Convert/Print", "Data", "CharHex"));
    o.GuideCut = flag(read_number("Convert/Print", "GuideCut", 0));
    o.LineStateCut = flag(read_number("Convert/Print", "LineStateCut", 1));
    o.TimeStampCut = flag(read_number("Convert/Print", "TimeStampCut", 0));
    o.IdleTimeCut = flag(read_number("Convert/Print", "IdleTimeCut", 0));
    o.TranslateFrame = kFrameTexts.read(read_text("Convert/Print", "TranslateFrame", "X25"));
    o.TranslatePacket = kPacketTexts.read(read_text("Convert/Print", "TranslatePacket", "Off"));
    parse_line_states(read_text("Convert/Print", "DisplayLineState", "0134"), o.DisplayLineState);

    o.CsvForm = kCsvFormTexts.read(read_text("Convert/CSV", "Form", "Data"));
    o.CsvData = kCsvDataTexts.read(read_text("Convert/CSV", "Data", "Char"));
    o.Width = read_number("Convert/CSV", "Width", 16);
    if (o.Width < 1 || o.Width > 256) o.Width = 16;
    copy_text(o.Delimit, kMaxDelimit + 1, read_text("Convert/CSV", "Delimit", ","));
}

bool SettingsStore::read_live_view() const { return flag(read_number("View", "LiveView", 1)) != 0; }

bool SettingsStore::write_live_view(bool shown) {
    settings_.set(key("View", "LiveView"), flag(shown));
    return settings_.sync();
}

bool SettingsStore::write_port(const PortSettings& port) {
    settings_.set(key("Port", "Name"), QString::fromLocal8Bit(port.Port ? port.Port : ""));
    settings_.set(key("Port", "Speed"), port.Speed);
    settings_.set(key("Port", "Parity"), qtext(kParityTexts.write(port.Parity)));
    settings_.set(key("Port", "XControl"), flag(port.XControl));
    return settings_.sync();
}

bool SettingsStore::write_buffer(const BufferSettings& buffer) {
    settings_.set(key("Buffer", "Path"), QString::fromLocal8Bit(buffer.Folder ? buffer.Folder : ""));
    settings_.set(key("Buffer", "MaxBlocks"), buffer.MaxBlocks);
    settings_.set(key("Buffer", "OverwriteWarning"), qtext(kWarnTexts.write(flag(buffer.Warn))));
    settings_.set(key("Buffer", "BufferingMode"), qtext(kModeTexts.write(flag(buffer.Ring))));
    return settings_.sync();
}

bool SettingsStore::write_convert(const ConvertOptions& o) {
    settings_.set(key("Convert", "Format"), qtext(kFormatTexts.write(o.Format)));
    settings_.set(key("Convert", "Line"), qtext(kLineTexts.write(o.Line)));
    settings_.set(key("Convert", "Start"), o.Start);
    settings_.set(key("Convert", "Blocks"), o.Blocks);
    settings_.set(key("Convert", "SavePath"),
                  QString::fromLocal8Bit(o.SavePath, qstrnlen(o.SavePath, sizeof o.SavePath)));
    settings_.set(key("Convert", "MaxLines"), o.MaxLines);

    settings_.set(key("Convert/Print", "Format"), qtext(kPrintFormatTexts.write(o.PrintFormat)));
    settings_.set(key("Convert/Print", "Data"), qtext(kPrintDataTexts.write(o.PrintData)));
    settings_.set(key("Convert/Print", "GuideCut"), flag(o.GuideCut));
    settings_.set(key("Convert/Print", "LineStateCut"), flag(o.LineStateCut));
    settings_.set(key("Convert/Print", "TimeStampCut"), flag(o.TimeStampCut));
    settings_.set(key("Convert/Print", "IdleTimeCut"), flag(o.IdleTimeCut));
    settings_.set(key("Convert/Print", "TranslateFrame"), qtext(kFrameTexts.write(o.TranslateFrame)));
    settings_.set(key("Convert/Print", "TranslatePacket"), qtext(kPacketTexts.write(o.TranslatePacket)));
    settings_.set(key("Convert/Print", "DisplayLineState"),
                  QString::fromStdString(line_states_text(o.DisplayLineState)));

    settings_.set(key("Convert/CSV", "Form"), qtext(kCsvFormTexts.write(o.CsvForm)));
    settings_.set(key("Convert/CSV", "Data"), qtext(kCsvDataTexts.write(o.CsvData)));
    settings_.set(key("Convert/CSV", "Width"), o.Width);
    settings_.set(key("Convert/CSV", "Delimit"),
                  QString::fromLocal8Bit(o.Delimit, qstrnlen(o.Delimit, sizeof o.Delimit)));
    return settings_.sync();
}

void parse_line_states(const std::string& stored, signed char (&out)[8]) {
    std::fill(std::begin(out), std::end(out), static_cast<signed char>(-1));
    int count = 0;
    for (char c : stored) {
        if (count == 8) break;
        if (c < '0' || c > '7') continue;
        const auto index = static_cast<signed char>(c - '0');
        if (std::find(out, out + count, index) != out + count) continue;
        out[count++] = index;
    }
}

std::string line_states_text(const signed char (&states)[8]) {
    std::string text;
    for (signed char s : states) {
        if (s < 0) break;
        text += static_cast<char>('0' + s);
    }
    return text;
}

}  // namespace capstore
