// The settings text file: write an analyzer's setup, table and program bodies as the
// editable text file, and read such a file back into those bodies. Pure code over
// byte buffers that the caller owns; messages come back as Shift_JIS bytes.
//
// Errors: a Failure with the message, caption and the line that failed; nothing
// throws.
// Threads: any; pure.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "commlib/analyzer_words.h"

namespace setxfer {

// Numbered as AnalyzerModels lists them.
enum class Model : std::uint8_t { RV7010 = 0, RV7020 = 1, RV7030 = 2 };

// "RV-7010", "RV-7020", "RV-7030"; nullopt for any other name.
std::optional<Model> model_from_name(std::string_view name);
std::string_view model_name(Model model);

// Save and send types: 0 setup only, 1 setup and tables, 2 setup, tables and program.
inline constexpr int kSaveTypeCount = 3;
// The type's name as the dialogs list it (Shift_JIS); empty for an unknown type.
std::string_view save_type_name(int type);
// Types offered for a model: the program data exists on RV-7030 only.
int save_type_count(Model model);

// Table text form: hexadecimal codes ("t:TABLEDATA") or character codes ("T:TABLEDATA").
enum class TableForm : std::uint8_t { Hex, Character };

enum class FailureKind : std::uint8_t {
    Argument,       // a body buffer too small for the chosen type, or a bad type
    Model,          // the file names another model; the user may pick another file
    Section,        // a setting section did not read back
    TableMarker,    // no table data marker where the send type needs one
    ProgramMarker,  // no program data marker where the send type needs one
    TableData,      // table data invalid, or more cells than the table data set holds
    ProgramData,    // program listing invalid
    TableInput,     // the edited table does not fit
};

// What the window shows in its message box (or the command prints): Shift_JIS bytes.
struct Failure {
    FailureKind kind;
    std::string_view message;
    std::string_view caption;
    bool warning_icon;
    // The line that failed: for a section, the first setting whose value did not
    // read, else where reading stopped; 1-based, with its text (no line end).
    // 0 and empty for failures that are not about the file's text.
    int line = 0;
    std::string found{};
};

struct ConstBodies {
    std::span<const std::uint8_t> setup;    // at least SetupSize bytes
    std::span<const std::uint8_t> table;    // at least the 68-byte offsets (type 1 and 2)
    std::span<const std::uint8_t> program;  // at least ProgramSize bytes (type 2)
};

struct Bodies {
    std::span<std::uint8_t> setup;    // at least SetupSize bytes
    std::span<std::uint8_t> table;    // at least TableCapacity bytes (send type 1 and 2)
    std::span<std::uint8_t> program;  // at least ProgramSize bytes (send type 2)
};

// The whole file (CR LF line ends). nullopt when a body the type needs is too small
// or the type is not 0..2.
std::optional<std::string> write_settings_file(const ConstBodies& bodies, Model model, int save_type, TableForm form);

// Reads a file into the bodies, in place. Stops at the first failure and returns it;
// whatever was stored before the failure stays in the bodies (nothing may be sent then).
// Bytes the file does not cover are left alone; nothing is read past the input or
// written outside a body.
std::optional<Failure> read_settings_file(std::span<const std::uint8_t> file, Model model, int send_type,
                                          const Bodies& bodies);

}  // namespace setxfer
