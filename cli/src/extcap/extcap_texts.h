// What the Wireshark extcap program answers when Wireshark asks for its
// interfaces, link types and settings: plain text in the extcap protocol,
// built from tables, with no port opened.
#pragma once
#include <string>
#include <vector>

namespace cli::extcap {

// The one interface's name: preferences are "extcap.zamvex.<option>".
inline constexpr char kInterface[] = "zamvex";

// "extcap {version=...}{help=...}" and the interface line.
std::string interfaces_text();
// The link-type line of the interface.
std::string dlts_text();
// The settings Wireshark shows for a capture; `ports` fills the port's list.
std::string config_text(const std::vector<std::string>& ports);

}  // namespace cli::extcap
