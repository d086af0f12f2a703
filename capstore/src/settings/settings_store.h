// capstore's stored settings: the serial port, the PC buffer and the
// conversion options, read with their defaults and range rules and written
// back with their documented texts.
#pragma once
#include <string>

#include "commlib/remote.h"
#include "pcbuffer/buffer_names.h"
#include "settings/layered_settings.h"
#include "textlib/text_convert.h"

namespace capstore {

// The port and buffer records with storage for their texts.
struct StoredPort {
    std::string name;
    int speed = 115200;
    int parity = 0;
    int x_control = 0;
    PortSettings record() const { return {name.c_str(), speed, parity, x_control}; }
};

struct StoredBuffer {
    std::string path;
    int max_blocks = pcbuffer::kDefaultMaxBlocks;
    bool warn = true;
    bool ring = false;
    BufferSettings record() const {
        return {path.c_str(), max_blocks, static_cast<std::uint8_t>(warn), static_cast<std::uint8_t>(ring)};
    }
};

// Every group below this root of the settings file.
inline constexpr const char* kSettingsRoot = "1.00";

class SettingsStore {
public:
    explicit SettingsStore(const SettingsPaths& paths);

    StoredPort read_port() const;
    StoredBuffer read_buffer() const;
    // Fills every field; the record should start zeroed.
    void read_convert(ConvertOptions& options) const;

    // Whether the main window shows its live view ("View" section; shown unless stored off).
    bool read_live_view() const;

    // Each returns false when the user's file could not be written.
    bool write_port(const PortSettings& port);
    bool write_buffer(const BufferSettings& buffer);
    bool write_convert(const ConvertOptions& options);
    bool write_live_view(bool shown);

private:
    QString key(const char* section, const char* value) const;
    std::string read_text(const char* section, const char* value, const std::string& fallback) const;
    int read_number(const char* section, const char* value, int fallback) const;

    SettingsPaths paths_;
    mutable LayeredSettings settings_;
};

// The line-state list as stored ("0134"): digits 0..7, each once, at most eight.
void parse_line_states(const std::string& stored, signed char (&out)[8]);
std::string line_states_text(const signed char (&states)[8]);

}  // namespace capstore
