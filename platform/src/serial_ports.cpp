// The scan reads only directory listings, symbolic links and small sysfs
// files, so it is quick and needs no permission on the ports themselves.
#include "platform/serial_ports.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>

namespace platform {

namespace fs = std::filesystem;

namespace {

// The device name families in the order they are listed.
constexpr const char* Families[] = {"ttyUSB", "ttyACM", "ttyS"};

std::string firstLine(const fs::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// (family rank, number) for "ttyUSB10"; rank -1 for other names.
std::pair<int, long> familyOf(const std::string& name) {
    for (int rank = 0; rank < static_cast<int>(std::size(Families)); ++rank) {
        const std::string prefix = Families[rank];
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
            name.find_first_not_of("0123456789", prefix.size()) == std::string::npos)
            return {rank, std::stol(name.substr(prefix.size()))};
    }
    return {-1, 0};
}

// An on-board port exists in sysfs for every possible UART; only one whose
// type is not 0 (unknown) has hardware behind it.
bool uartPresent(const fs::path& sysTty) {
    std::error_code ec;
    const std::string type = firstLine(sysTty / "type");
    return fs::exists(sysTty / "device", ec) && !type.empty() && type != "0";
}

// Fills the USB fields from the first directory above the port's sysfs device
// that has an idVendor file.
void readUsb(const fs::path& sysTty, const fs::path& sysRoot, SerialPortInfo& port) {
    std::error_code ec;
    fs::path dir = fs::canonical(sysTty / "device", ec);
    const fs::path top = fs::canonical(sysRoot, ec);
    if (ec) return;
    for (; !dir.empty() && dir != top && dir != dir.root_path(); dir = dir.parent_path()) {
        if (!fs::exists(dir / "idVendor", ec)) continue;
        port.vendorId = firstLine(dir / "idVendor");
        port.productId = firstLine(dir / "idProduct");
        port.manufacturer = firstLine(dir / "manufacturer");
        port.product = firstLine(dir / "product");
        port.serial = firstLine(dir / "serial");
        return;
    }
}

}  // namespace

std::vector<SerialPortInfo> scanSerialPorts(const SerialPortRoots& roots) {
    const fs::path dev = roots.dev, sysTty = fs::path(roots.sys) / "class" / "tty";
    std::error_code ec;
    // Sorted by family and number; the key also keeps each device once.
    std::map<std::tuple<int, long, std::string>, SerialPortInfo> found;
    for (const auto& entry : fs::directory_iterator(dev, ec)) {
        const std::string name = entry.path().filename().string();
        const auto [rank, number] = familyOf(name);
        if (rank < 0) continue;
        if (std::string(Families[rank]) == "ttyS" && !uartPresent(sysTty / name)) continue;
        SerialPortInfo port;
        port.device = (dev / name).string();
        readUsb(sysTty / name, roots.sys, port);
        found.emplace(std::tuple{rank, number, name}, std::move(port));
    }

    std::vector<std::pair<std::string, std::string>> links;  // by-id name, the device it leads to
    for (const auto& entry : fs::directory_iterator(dev / "serial" / "by-id", ec)) {
        std::error_code linkError;
        const fs::path target = fs::canonical(entry.path(), linkError);
        if (!linkError) links.emplace_back(entry.path().string(), target.filename().string());
    }
    std::sort(links.begin(), links.end());
    std::map<std::string, SerialPortInfo> others;  // targets outside the families, by name
    for (const auto& [byId, targetName] : links) {
        const auto [rank, number] = familyOf(targetName);
        const auto it = found.find({rank, number, targetName});
        SerialPortInfo* port = it != found.end() ? &it->second : &others[targetName];
        if (port->device.empty()) {
            port->device = (dev / targetName).string();
            readUsb(sysTty / targetName, roots.sys, *port);
        }
        port->byId.push_back(byId);
    }

    std::vector<SerialPortInfo> ports;
    for (auto& [key, port] : found) ports.push_back(std::move(port));
    for (auto& [name, port] : others) ports.push_back(std::move(port));
    return ports;
}

std::vector<std::string> serialPortNames(const std::vector<SerialPortInfo>& ports) {
    std::vector<std::string> names;
    for (const SerialPortInfo& p : ports) names.insert(names.end(), p.byId.begin(), p.byId.end());
    std::sort(names.begin(), names.end());
    for (const SerialPortInfo& p : ports) names.push_back(p.device);
    return names;
}

}  // namespace platform
