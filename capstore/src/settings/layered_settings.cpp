// Lookup through the user's and the system's INI files, and the standard
// places of those files and of the program's data folder.
#include "settings/layered_settings.h"

#include <QStringList>
#include <cstdlib>

namespace capstore {
namespace {

QString env_dir(const char* name, const char* home_relative) {
    const char* value = std::getenv(name);
    if (value && *value == '/') return QString::fromLocal8Bit(value);
    const char* home = std::getenv("HOME");
    return QString::fromLocal8Bit(home && *home ? home : "/tmp") + home_relative;
}

std::optional<QString> variant_text(const QVariant& v) {
    if (!v.isValid()) return std::nullopt;
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(',');
    if (!v.canConvert<QString>()) return std::nullopt;
    return v.toString();
}

}  // namespace

SettingsPaths SettingsPaths::standard() {
    return {env_dir("XDG_CONFIG_HOME", "/.config") + "/MIRLOKE/ZAMVEX3.ini", "/etc/xdg/MIRLOKE/ZAMVEX3.ini",
            env_dir("XDG_DATA_HOME", "/.local/share") + "/MIRLOKE/ZAMVEX3/"};
}

LayeredSettings::LayeredSettings(const QString& user_file, const QString& system_file)
    : user_(std::make_unique<QSettings>(user_file, QSettings::IniFormat)),
      system_(std::make_unique<QSettings>(system_file, QSettings::IniFormat)) {}

std::optional<QString> LayeredSettings::text(const QString& key) const {
    if (auto t = variant_text(user_->value(key))) return t;
    return variant_text(system_->value(key));
}

std::optional<long long> LayeredSettings::number(const QString& key) const {
    for (const QSettings* s : {user_.get(), system_.get()}) {
        if (auto t = variant_text(s->value(key)))
            if (auto n = parse_decimal(*t)) return n;
    }
    return std::nullopt;
}

void LayeredSettings::set(const QString& key, const QVariant& value) { user_->setValue(key, value); }

bool LayeredSettings::sync() {
    user_->sync();
    return user_->status() == QSettings::NoError;
}

std::optional<long long> parse_decimal(const QString& text) {
    const QString t = text.trimmed();
    bool ok = false;
    const long long n = t.toLongLong(&ok, 10);
    if (!ok) return std::nullopt;
    return n;
}

}  // namespace capstore
