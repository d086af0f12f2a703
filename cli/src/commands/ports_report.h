// The text and JSON forms of `zamvex ports`, from what the scan found and
// what was learnt about each port (whether this user may open it, who holds it).
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/port_holder.h"
#include "platform/serial_ports.h"

namespace cli {

struct PortState {
    platform::SerialPortInfo port;
    std::string access_problem;                  // empty: this user may open it
    std::optional<platform::PortHolder> holder;  // the process holding its lock
};

// Whether the holder is one of the suite's programs.
bool held_by_suite(const platform::PortHolder& holder);

std::string ports_text(const std::vector<PortState>& ports);
std::string ports_json(const std::vector<PortState>& ports);

}  // namespace cli
