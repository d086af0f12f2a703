// The port dialog's lists and the rules that pick an entry from a setting.
#include "port_choices.h"

#include <strings.h>
#include <sys/stat.h>
#include <algorithm>
#include <iterator>

#include "platform/port_access.h"
#include "platform/serial_ports.h"

namespace commlib::ui {

std::vector<std::string> SerialDevices() { return platform::serialPortNames(platform::scanSerialPorts()); }

std::vector<std::string> PortList(const std::vector<std::string>& devices) {
    std::vector<std::string> list;
    for (int n = 1; n <= 8; ++n) list.push_back("COM" + std::to_string(n));
    list.insert(list.end(), devices.begin(), devices.end());
    return list;
}

int PortIndex(const std::vector<std::string>& list, std::string_view name) {
    const std::string wanted(name);
    int index = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (::strcasecmp(list[i].c_str(), wanted.c_str()) == 0) index = static_cast<int>(i);
    }
    return index;
}

std::string PortAccessText(const std::string& portName) {
    const std::string path = platform::devicePath(portName);
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return "";
    const std::string problem = platform::accessProblem(path);
    return problem.empty() ? "" : "'" + path + "': " + problem;
}

int SpeedIndex(int speed) {
    const auto it = std::find(std::begin(platform::ListedSpeeds), std::end(platform::ListedSpeeds), speed);
    return it == std::end(platform::ListedSpeeds) ? -1 : static_cast<int>(it - std::begin(platform::ListedSpeeds));
}

int ParityIndex(int parity) {
    const auto it = std::find_if(std::begin(ParityChoices), std::end(ParityChoices),
                                 [&](const Choice& c) { return c.value == parity; });
    return it == std::end(ParityChoices) ? -1 : static_cast<int>(it - std::begin(ParityChoices));
}

int XControlIndex(int xControl) { return xControl != 0 ? 1 : 0; }

}  // namespace commlib::ui
