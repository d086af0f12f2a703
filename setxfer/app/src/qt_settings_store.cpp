// QSettings in INI format under "MIRLOKE/ZAMVEX3"; a failure to write is not
// reported (the defaults apply next time).
#include "qt_settings_store.h"

namespace setxfer::app {
namespace {

QString key(std::string_view name) {
    return QStringLiteral("1.00/surw/SETXFER/") + QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

QtSettingsStore::QtSettingsStore(const QString& system_folder) {
    if (!system_folder.isEmpty()) QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, system_folder);
    settings_ = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("MIRLOKE"),
                                            QStringLiteral("ZAMVEX3"));
}

std::optional<std::string> QtSettingsStore::get(std::string_view name) const {
    QVariant value = settings_->value(key(name));
    if (!value.isValid()) return std::nullopt;
    return value.toString().toStdString();
}

void QtSettingsStore::set(std::string_view name, const std::string& value) {
    settings_->setValue(key(name), QString::fromStdString(value));
    settings_->sync();
}

}  // namespace setxfer::app
