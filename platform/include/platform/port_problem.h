// Why a serial port could not be used, kept with the system's error number,
// and the text that tells the user what happened and what to do about it.
// Shared by the command and the window programs so they all say the same.
//
// Errors: none; the texts carry the system's reason (strerror).
// Threads: any; pure.
#pragma once
#include <string>
#include <vector>

namespace platform {

// The step of opening a port that failed. The numbers travel through the
// communication library's interface; never renumber.
enum class PortStep : int {
    None = 0,
    Open = 1,       // the device could not be opened
    Lock = 2,       // another program holds the port's lock
    Configure = 3,  // the device refused the line settings
    NotSerial = 4,  // the path is not a serial device
};

struct PortFailure {
    PortStep step = PortStep::None;
    int error = 0;  // errno of the failed call
};

// What happened and what to do, one or more lines without a final newline.
// `path` is the device path, `speed` the baud rate that was asked for.
std::string portProblemText(const std::string& path, PortFailure failure, int speed);

// The same for a port as the settings name it ("COM3", a path), with the step
// and error number as the communication library reports them.
std::string portProblemForName(const std::string& portName, int step, int error, int speed);

// Who reads the no-answer hint: the command (its speed and port are options)
// or a window program (they are the analyzer's setting and the port dialog's).
enum class HintFor { Command, Window };

// What to check when a connect got no answer, for after the library's text:
// nothing answered on `path` at the speed (or any of the speeds) tried; is
// the analyzer connected and on, its speed setting the same, the port right.
// English, or Japanese for the window programs that speak it.
std::string noAnswerHint(const std::string& path, const std::vector<int>& speeds, HintFor reader,
                         bool japanese = false);

// What the user reads when an open link ends by itself: the port failed for
// good (portGone), or the analyzer stopped answering the link supervision.
const char* linkLostText(bool portGone);

}  // namespace platform
