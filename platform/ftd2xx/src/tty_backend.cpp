#include "backend.h"
#include "env_devices.h"
#include "sysfs_ftdi.h"
#include "tty_port.h"

#include <cstdlib>

namespace ftd2xx {
namespace {

std::string envOr(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

class TtyBackend final : public Backend {
public:
    std::vector<DeviceEntry> enumerate() override {
        std::vector<DeviceEntry> list =
            scanFtdiSio(envOr("FTD2XX_SYSFS_ROOT", "/sys"), envOr("FTD2XX_DEV_ROOT", "/dev"));
        if (const char* extra = std::getenv("FTD2XX_DEVICES")) {
            for (auto& e : parseDeviceList(extra)) list.push_back(std::move(e));
        }
        return list;
    }

    FT_STATUS open(const DeviceEntry& entry, std::unique_ptr<Port>& port) override {
        return openTtyPort(entry, port);
    }

    std::string identityOf(const DeviceEntry& entry) override { return ttyIdentity(entry.path); }
};

}  // namespace

Backend& ttyBackend() {
    static TtyBackend* backend = new TtyBackend;  // never destroyed: calls may come during exit
    return *backend;
}

}  // namespace ftd2xx
