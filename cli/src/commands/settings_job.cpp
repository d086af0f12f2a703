// The save and send flows: connect, read the data sets, write the file or
// parse it into the data sets and send them, then end as the tool ends.
#include "commands/settings_job.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include <cerrno>
#include <cstring>

#include "commands/data_sets.h"
#include "platform/whole_file.h"
#include "setxfer/settings_file.h"
#include "text/sjis.h"

namespace cli {
namespace {

using setxfer::Model;

SettingsResult failed(SettingsResult r, std::string text) {
    r.exit_code = kExitFailed;
    r.error = std::move(text);
    return r;
}

std::string type_range(Model model) {
    return std::string(setxfer::model_name(model)) + " offers types 0 to " +
           std::to_string(setxfer::save_type_count(model) - 1);
}

// What save and send both do once connected: refuse a type the model does not
// offer, then read the analyzer's data sets. On failure the session is ended.
std::optional<std::string> check_type_and_read(AnalyzerSession& s, Model model, int type) {
    if (type >= setxfer::save_type_count(model)) {
        s.finish_operation();
        return type_range(model);
    }
    if (auto e = read_data_sets(s, model)) {
        s.disconnect();
        return e;
    }
    return std::nullopt;
}

// What each failure of the settings file means, in English, then the tool's own text.
std::string failure_text(const setxfer::Failure& f) {
    static constexpr const char* kKinds[] = {
        "bad type for this analyzer",           "the file was made for another model",
        "a setting section does not read back", "the file holds no table data",
        "the file holds no program data",       "the table data are invalid, or more than the tables hold",
        "the program listing is invalid",       "the table does not fit",
    };
    std::string text = std::string(kKinds[static_cast<int>(f.kind)]) + " (" + sjis_to_utf8(f.message) + ")";
    if (f.line > 0) text += "; line " + std::to_string(f.line) + " reads '" + sjis_to_utf8(f.found) + "'";
    return text;
}

}  // namespace

std::string not_a_settings_file(const std::string& text) {
    std::string first = text.substr(0, text.find_first_of("\r\n"));
    first.erase(0, first.find_first_not_of(" \t"));
    first.erase(first.find_last_not_of(" \t") + 1);
    for (const Model m : {Model::RV7010, Model::RV7020, Model::RV7030})
        if (first == setxfer::model_name(m)) return "";
    return "not a settings file: the first line is not a model name (RV-7010, RV-7020 or RV-7030) but '" +
           sjis_to_utf8(first.substr(0, 40)) + "'";
}

int type_held_by(const std::string& text) {
    if (text.find("\nP:PROG_DATA") != std::string::npos) return 2;
    if (text.find("\nT:TABLEDATA") != std::string::npos || text.find("\nt:TABLEDATA") != std::string::npos) return 1;
    return 0;
}

SettingsResult save_settings(const SettingsJob& job) {
    SettingsResult r;
    if (!job.force && std::filesystem::exists(job.file))
        return failed(r, "'" + job.file + "' exists; add --force to replace it");
    // A file that cannot be written is found out before the analyzer is bothered.
    if (auto s = platform::probeWritable(job.file); !s.ok()) return failed(r, s.message());
    AnalyzerSession s;
    if (auto e = s.open(job.port); !e.ok()) return failed(r, e.message());
    if (auto e = s.connect(false, false)) return failed(r, *e);
    const Model model = session_model(s);
    r.model = setxfer::model_name(model);
    r.type = job.type < 0 ? setxfer::save_type_count(model) - 1 : job.type;
    if (auto e = check_type_and_read(s, model, r.type)) return failed(r, *e);
    const setxfer::Bodies b = library_bodies(s);
    const auto text = setxfer::write_settings_file({b.setup, b.table, b.program}, model, r.type,
                                                   job.ascii ? setxfer::TableForm::Character : setxfer::TableForm::Hex);
    s.finish_operation();
    if (!text) return failed(r, "the analyzer's data sets are incomplete");
    if (auto s = platform::writeWholeFile(job.file, *text); !s.ok()) return failed(r, s.message());
    r.bytes = text->size();
    return r;
}

SettingsResult send_settings(const SettingsJob& job) {
    SettingsResult r;
    std::ifstream in(job.file, std::ios::binary);
    const int open_error = errno;
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.is_open()) return failed(r, "cannot read '" + job.file + "': " + std::strerror(open_error));
    if (!in.good() && !in.eof()) return failed(r, "cannot read '" + job.file + "'");
    if (!std::filesystem::is_regular_file(job.file)) return failed(r, "cannot read '" + job.file + "': not a file");
    // Said before the analyzer is bothered: nothing in the file could be sent.
    if (const std::string e = not_a_settings_file(file); !e.empty()) return failed(r, "'" + job.file + "': " + e);
    AnalyzerSession s;
    if (auto e = s.open(job.port); !e.ok()) return failed(r, e.message());
    if (auto e = s.connect(false, false)) return failed(r, *e);
    const Model model = session_model(s);
    r.model = setxfer::model_name(model);
    r.type = job.type < 0 ? std::min(type_held_by(file), setxfer::save_type_count(model) - 1) : job.type;
    if (auto e = check_type_and_read(s, model, r.type)) return failed(r, *e);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.data());
    if (auto f = setxfer::read_settings_file({bytes, file.size()}, model, r.type, library_bodies(s))) {
        // Nothing is sent after a failed read: the analyzer keeps its settings.
        s.finish_operation();
        return failed(r, "'" + job.file + "': " + failure_text(*f));
    }
    if (auto e = send_data_sets(s, model)) {
        s.disconnect();
        return failed(r, *e);
    }
    s.finish_operation();
    r.bytes = file.size();
    return r;
}

}  // namespace cli
