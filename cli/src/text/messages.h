// The English texts of the programs' message tables that the command prints,
// and a readable name for every notification status.
#pragma once
#include <string>

namespace cli {

// capstore's message numbers (string table), English texts.
enum class Msg {
    PortInit = 4,    // the port could not be opened
    Connection = 6,  // connect or setup read failed
    ExitWhileMeasuring = 7,
    Unsupported = 9,     // connected in text mode only
    StartWithData = 36,  // the buffer folder already holds blocks
    Measuring = 37,      // the analyzer is measuring already
    NoAnswer = 38,
    NoAnswerStop = 39,
    BufferFiles = 31,  // the buffer cannot be opened for conversion
    ConvertError = 32,
};

const char* message_text(Msg m);

// The refused-start text for a stop reason (-1: no reason could be had).
std::string stop_reason_text(int reason);

// "no answer in time" and so on; "status N" for values without a name.
std::string status_name(int status);

// "<text> (status N: <name>)"
std::string with_status(const std::string& text, int status);

}  // namespace cli
