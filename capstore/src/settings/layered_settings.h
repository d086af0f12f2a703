// The user's INI file in front of the system-wide one: values are looked up in
// the user's file first, and only the user's file is ever written.
#pragma once
#include <QSettings>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

namespace capstore {

// Where the settings and the program's default folders live. Tests point all
// three into a temporary folder.
struct SettingsPaths {
    QString user_file;    // ~/.config/MIRLOKE/ZAMVEX3.ini
    QString system_file;  // /etc/xdg/MIRLOKE/ZAMVEX3.ini
    QString data_dir;     // ~/.local/share/MIRLOKE/ZAMVEX3/ (ends with '/')

    // The usual places, from XDG_CONFIG_HOME, XDG_DATA_HOME and HOME.
    static SettingsPaths standard();
};

class LayeredSettings {
public:
    LayeredSettings(const QString& user_file, const QString& system_file);

    // The text of a value; numbers stored in the file are text there anyway.
    // A list (an unquoted value with commas) is joined back together.
    std::optional<QString> text(const QString& key) const;
    // A decimal number, from the first file where the value parses as one.
    std::optional<long long> number(const QString& key) const;

    // Writes to the user's file; false when the file could not be written.
    void set(const QString& key, const QVariant& value);
    bool sync();

private:
    std::unique_ptr<QSettings> user_;
    std::unique_ptr<QSettings> system_;
};

// Parses optional blanks, an optional sign and decimal digits; nothing else.
std::optional<long long> parse_decimal(const QString& text);

}  // namespace capstore
