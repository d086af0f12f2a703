// Reads the stored values as text (the INI file keeps everything as text) and
// leaves the rules about which values count to readRules.
#include "settings_store.h"

#include <QSettings>

namespace frontpad {
namespace {

const QString kName = QStringLiteral("1.00/frontpad/Name");
const QString kParity = QStringLiteral("1.00/frontpad/Parity");
const QString kXControl = QStringLiteral("1.00/frontpad/XControl");

QSettings suiteSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("MIRLOKE"), QStringLiteral("ZAMVEX3"));
}

std::optional<std::string> text(const QSettings& s, const QString& key) {
    const QVariant v = s.value(key);
    if (!v.isValid() || v.typeId() != QMetaType::QString) return std::nullopt;
    return v.toString().toStdString();
}

}  // namespace

SettingsStore::SettingsStore(const QString& userDir, const QString& systemDir) {
    if (!userDir.isEmpty()) QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, userDir);
    if (!systemDir.isEmpty()) QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, systemDir);
}

StoredPort SettingsStore::read() const {
    const QSettings s = suiteSettings();
    StoredValues values;
    if (s.status() == QSettings::NoError) {
        values.name = text(s, kName);
        values.parity = text(s, kParity);
        // Text in the file, a number when this process wrote it.
        const QVariant x = s.value(kXControl);
        bool ok = false;
        const long long n =
            x.typeId() == QMetaType::QString ? x.toString().trimmed().toLongLong(&ok) : x.toLongLong(&ok);
        if (x.isValid() && ok) values.xcontrol = n;
    }
    return readRules(values);
}

void SettingsStore::write(const StoredPort& port) const {
    QSettings s = suiteSettings();
    s.setValue(kName, QString::fromStdString(port.name));
    s.setValue(kParity,
               QString::fromUtf8(parityText(port.parity).data(), static_cast<int>(parityText(port.parity).size())));
    s.setValue(kXControl, port.xcontrol == 1 ? 1 : 0);
    s.sync();
}

}  // namespace frontpad
