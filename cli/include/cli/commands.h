// The subcommands of `zamvex` besides simulate; each takes the words after its
// name and returns the exit code: 0 success, 1 failure, 2 a usage mistake.
#pragma once
#include <string>
#include <vector>

namespace cli {

int capture_command(const std::vector<std::string>& args);
int convert_command(const std::vector<std::string>& args);
int monitor_command(const std::vector<std::string>& args);
int export_command(const std::vector<std::string>& args);
int settings_command(const std::vector<std::string>& args);
int table_command(const std::vector<std::string>& args);
int screen_command(const std::vector<std::string>& args);
int key_command(const std::vector<std::string>& args);
int demo_command(const std::vector<std::string>& args);

}  // namespace cli
