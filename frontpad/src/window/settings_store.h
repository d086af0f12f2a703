// frontpad's port settings in the suite's settings file (user file first,
// the system file as fallback), below "1.00/frontpad".
#pragma once
#include <QString>

#include "frontpad/stored_port.h"

namespace frontpad {

class SettingsStore {
public:
    // Empty folders keep the standard places ($XDG_CONFIG_HOME or ~/.config,
    // and /etc/xdg); tests give their own.
    explicit SettingsStore(const QString& userDir = {}, const QString& systemDir = {});

    // Missing or damaged values give their defaults.
    StoredPort read() const;
    // Writes "Name", "Parity" and "XControl" to the user file.
    void write(const StoredPort& port) const;
};

}  // namespace frontpad
