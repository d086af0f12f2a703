// Reading the analyzer's setup, table and program data sets in the order the
// settings tool reads them, and viewing the library's bodies as byte spans.
#pragma once
#include <optional>
#include <string>

#include "session/analyzer_session.h"
#include "setxfer/settings_file.h"

namespace cli {

// The model as the settings tool knows it (RV-7010 for an unknown name).
setxfer::Model session_model(AnalyzerSession& s);

// ReqGetSetup, ReqGetTable and, for RV-7030, ReqGetProgram; the error text or nothing.
std::optional<std::string> read_data_sets(AnalyzerSession& s, setxfer::Model model);

// The library's bodies (empty spans for missing ones).
setxfer::Bodies library_bodies(AnalyzerSession& s);

// Sends the setup and tables, and for RV-7030 the program; the error text or nothing.
std::optional<std::string> send_data_sets(AnalyzerSession& s, setxfer::Model model);

}  // namespace cli
