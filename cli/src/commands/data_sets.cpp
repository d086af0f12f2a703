// The read and write orders of the settings tool, with its error texts.
#include "commands/data_sets.h"

#include <cstdio>

#include "text/messages.h"

namespace cli {
namespace {

using namespace std::chrono_literals;

std::string error_text(const char* format, int status) {
    char text[64];
    std::snprintf(text, sizeof text, format, status);
    return std::string(text) + " - " + status_name(status);
}

int outcome(AnalyzerSession& s, int code) {
    const int st = s.call(code, 0, 60s);
    return st == kNoNotification ? StatusNoAnswer : st;
}

}  // namespace

setxfer::Model session_model(AnalyzerSession& s) {
    return setxfer::model_from_name(s.model_name()).value_or(setxfer::Model::RV7010);
}

std::optional<std::string> read_data_sets(AnalyzerSession& s, setxfer::Model model) {
    if (const int st = outcome(s, ReqGetSetup); st != StatusDone) return error_text("Setup data read error (%d)", st);
    if (const int st = outcome(s, ReqGetTable); st != StatusDone) return error_text("Table data read error (%d)", st);
    if (model == setxfer::Model::RV7030)
        if (const int st = outcome(s, ReqGetProgram); st != StatusDone)
            return error_text("Program data read error (%d)", st);
    return std::nullopt;
}

setxfer::Bodies library_bodies(AnalyzerSession& s) {
    auto span = [](void* body, std::size_t size) {
        return body ? std::span<std::uint8_t>(static_cast<std::uint8_t*>(body), size) : std::span<std::uint8_t>();
    };
    Remote& r = s.remote();
    return setxfer::Bodies{span(r.GetSetupData(), SetupSize), span(r.GetTableData(), TableCapacity),
                           span(r.GetProgramData(), ProgramSize)};
}

std::optional<std::string> send_data_sets(AnalyzerSession& s, setxfer::Model model) {
    if (const int st = outcome(s, ReqPutSetup); st != StatusDone) return error_text("SetSetup Error (%d)", st);
    if (const int st = outcome(s, ReqPutTable); st != StatusDone) return error_text("SetTable Error (%d)", st);
    if (model == setxfer::Model::RV7030)
        if (const int st = outcome(s, ReqPutProgram); st != StatusDone) return error_text("Setproguram Error (%d)", st);
    return std::nullopt;
}

}  // namespace cli
