// The tool's stored values in the suite's INI settings: the user's file first,
// the system-wide file as fallback, group "1.00/surw/SETXFER".
#pragma once
#include <QSettings>
#include <QString>
#include <memory>

#include "setxfer_flows/port_store.h"

namespace setxfer::app {

class QtSettingsStore : public SettingsStore {
public:
    // system_folder replaces the system-wide folder (tests); empty keeps Qt's.
    explicit QtSettingsStore(const QString& system_folder = {});
    std::optional<std::string> get(std::string_view name) const override;
    void set(std::string_view name, const std::string& value) override;

private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace setxfer::app
