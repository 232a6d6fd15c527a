#include "sysfs_ftdi.h"

#include "ftdi_device_type.h"
#include "natural_order.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

namespace fs = std::filesystem;

namespace ftd2xx {
namespace {

// The usb-serial port device sits below its USB interface, which sits below
// the USB device that carries idVendor; allow a little slack for drivers
// that add a level.
constexpr int kMaxLevelsUp = 4;

// First line of a sysfs attribute without its line end; nullopt when absent.
std::optional<std::string> readAttribute(const fs::path& file) {
    std::ifstream in(file);
    if (!in) return std::nullopt;
    std::string line;
    std::getline(in, line);
    if (in.bad()) return std::nullopt;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ' ||
                             line.back() == '\t')) {
        line.pop_back();
    }
    return line;
}

std::optional<uint16_t> readHex16(const fs::path& file) {
    const auto text = readAttribute(file);
    if (!text || text->empty()) return std::nullopt;
    unsigned value = 0;
    const char* first = text->data();
    const char* last = first + text->size();
    const auto [ptr, ec] = std::from_chars(first, last, value, 16);
    if (ec != std::errc{} || ptr != last || value > 0xFFFF) return std::nullopt;
    return static_cast<uint16_t>(value);
}

bool isWithin(const fs::path& p, const fs::path& root) {
    auto r = root.begin();
    auto q = p.begin();
    for (; r != root.end(); ++r, ++q) {
        if (q == p.end() || *q != *r) return false;
    }
    return true;
}

// Walks up from the port device to the USB device (the first directory
// with an idVendor attribute), staying inside the sysfs tree.
std::optional<fs::path> findUsbDevice(const fs::path& portDir, const fs::path& root) {
    fs::path dir = portDir.parent_path();
    for (int level = 0; level < kMaxLevelsUp && isWithin(dir, root) && dir != root; ++level) {
        std::error_code ec;
        if (fs::exists(dir / "idVendor", ec)) return dir;
        dir = dir.parent_path();
    }
    return std::nullopt;
}

// tty name -> its usb-serial port device directory (canonical).
using PortMap = std::map<std::string, fs::path>;

void portsFromDriver(const fs::path& root, PortMap& ports) {
    std::error_code ec;
    for (fs::directory_iterator it(root / "bus/usb-serial/drivers/ftdi_sio", ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind("tty", 0) != 0) continue;
        std::error_code cec;
        const fs::path dir = fs::canonical(it->path(), cec);
        if (!cec && fs::is_directory(dir, cec)) ports.emplace(name, dir);
    }
}

void portsFromTtyClass(const fs::path& root, PortMap& ports) {
    std::error_code ec;
    for (fs::directory_iterator it(root / "class/tty", ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (ports.count(name)) continue;
        std::error_code cec;
        const fs::path driver = fs::canonical(it->path() / "device/driver", cec);
        if (cec || driver.filename() != "ftdi_sio") continue;
        const fs::path dir = fs::canonical(it->path() / "device", cec);
        if (!cec) ports.emplace(name, dir);
    }
}

DeviceEntry describe(const std::string& name, const fs::path& portDir, const fs::path& root,
                     const std::string& devRoot) {
    DeviceEntry e;
    e.path = devRoot + "/" + name;
    e.latencyTimer = (portDir / "latency_timer").string();
    if (const auto usb = findUsbDevice(portDir, root)) {
        const auto vid = readHex16(*usb / "idVendor");
        const auto pid = readHex16(*usb / "idProduct");
        if (vid && pid) e.id = static_cast<uint32_t>(*vid) << 16 | *pid;
        e.type = ftdiDeviceType(pid.value_or(0), readHex16(*usb / "bcdDevice"));
        e.serial = readAttribute(*usb / "serial").value_or("").substr(0, kSerialMax);
        e.description = readAttribute(*usb / "product").value_or("").substr(0, kDescriptionMax);
    }
    return e;
}

}  // namespace

std::vector<DeviceEntry> scanFtdiSio(const std::string& sysfsRoot, const std::string& devRoot) {
    std::error_code ec;
    const fs::path root = fs::canonical(sysfsRoot, ec);
    if (ec) return {};

    PortMap ports;
    portsFromDriver(root, ports);
    portsFromTtyClass(root, ports);

    std::vector<std::string> names;
    for (const auto& [name, dir] : ports) names.push_back(name);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return naturalLess(a, b); });

    std::vector<DeviceEntry> out;
    for (const auto& name : names) out.push_back(describe(name, ports[name], root, devRoot));
    return out;
}

}  // namespace ftd2xx
