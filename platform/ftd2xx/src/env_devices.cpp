#include "env_devices.h"

namespace ftd2xx {

std::vector<DeviceEntry> parseDeviceList(std::string_view list) {
    std::vector<DeviceEntry> out;
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        std::string_view item = list.substr(0, colon);
        list = colon == std::string_view::npos ? std::string_view{} : list.substr(colon + 1);

        const std::size_t eq = item.find('=');
        std::string_view path = item.substr(0, eq);
        std::string_view serial = eq == std::string_view::npos ? std::string_view{} : item.substr(eq + 1);
        if (path.empty()) continue;

        DeviceEntry e;
        e.path = std::string(path);
        e.serial = std::string(serial.substr(0, kSerialMax));
        out.push_back(std::move(e));
    }
    return out;
}

}  // namespace ftd2xx
