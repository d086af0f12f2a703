// Ctrl-C, SIGTERM and SIGHUP for the long-running commands: the first one
// asks the command to end cleanly (flush, disconnect); a second one ends it
// at once. A SIGHUP that was ignored at the start (nohup) stays ignored.
#pragma once

namespace cli {

void catch_interrupts();
bool interrupted();
void clear_interrupt();
// Lets tests and the demo ask for the same clean end as a Ctrl-C.
void request_interrupt();
// What asked for the end, as a user would name it: "Ctrl-C" (SIGINT),
// "SIGTERM", "SIGHUP", or "a stop request" (request_interrupt); empty when nothing did.
const char* interrupt_cause();

}  // namespace cli
