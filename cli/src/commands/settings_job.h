// Saving the analyzer's settings to a settings text file, and sending such a
// file back, in the settings tool's order of requests.
#pragma once
#include <string>

#include "session/analyzer_session.h"
#include "text/exit_codes.h"

namespace cli {

struct SettingsJob {
    PortChoice port;
    std::string file;
    int type = -1;       // 0 setup, 1 + tables, 2 + program; -1: all the model has (save) or the file has (send)
    bool ascii = false;  // tables in the character form
    bool force = false;  // replace an existing file
};

struct SettingsResult {
    int exit_code = kExitDone;
    std::string error;
    std::string model;  // "RV-7020"
    int type = 0;
    std::size_t bytes = 0;  // file size
};

SettingsResult save_settings(const SettingsJob& job);
SettingsResult send_settings(const SettingsJob& job);

// The highest type whose data a settings file holds (its table and program markers).
// Why a file's text cannot be a settings file (its first line is no model
// name); empty when it may be one.
std::string not_a_settings_file(const std::string& text);

int type_held_by(const std::string& file_text);

}  // namespace cli
