// Pseudo-terminals, a fake sysfs tree and environment settings for the
// D2XX-layer tests.
#ifndef FTD2XX_TESTS_SUPPORT_H
#define FTD2XX_TESTS_SUPPORT_H

#include "ftd2xx.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ftd2xx_test {

namespace fs = std::filesystem;

// A directory under /tmp, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// Sets (or, with nullopt, unsets) an environment variable for its lifetime.
class EnvSetting {
public:
    EnvSetting(const char* name, std::optional<std::string> value);
    ~EnvSetting();
    EnvSetting(const EnvSetting&) = delete;
    EnvSetting& operator=(const EnvSetting&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

// A pseudo-terminal: the layer opens the slave by path; the test plays the
// far end on the master and inspects the line through its own slave fd.
class Pty {
public:
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    const std::string& path() const { return path_; }
    int slave() const { return slave_; }

    void send(std::string_view bytes);
    // Up to n bytes that arrive within waitMs.
    std::string receive(std::size_t n, int waitMs);
    // Waits (up to a few seconds) until the slave's input queue holds n bytes.
    bool waitQueued(int n);
    int queued() const;
    void closeMaster();

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

// Closes the handle at the end of a test, whatever its outcome.
struct Handle {
    FT_HANDLE h = nullptr;
    Handle() = default;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (h) FT_Close(h);
    }
    FT_STATUS open(int index) { return FT_Open(index, &h); }
    FT_STATUS close() {
        const FT_STATUS st = FT_Close(h);
        h = nullptr;
        return st;
    }
};

// The serial number, description, type and id of an open handle.
struct Info {
    FT_STATUS status;
    FT_DEVICE type;
    DWORD id;
    std::string serial;
    std::string description;
};
Info deviceInfo(FT_HANDLE h);

// How the fake tree binds a tty to ftdi_sio: through the driver's directory
// in bus/usb-serial, or only through class/tty/<name>/device/driver.
enum class Layout { DriverDir, TtyClass };

struct UsbDevice {
    explicit UsbDevice(std::string ttyName) : tty(std::move(ttyName)) {}
    UsbDevice& withIds(uint16_t v, uint16_t p) { vendor = v; product = p; return *this; }
    UsbDevice& withRelease(std::optional<uint16_t> r) { release = r; return *this; }
    UsbDevice& withSerial(std::string s) { serial = std::move(s); return *this; }
    UsbDevice& withDescription(std::string d) { description = std::move(d); return *this; }
    UsbDevice& withNode(std::string n) { node = std::move(n); return *this; }

    std::string tty;  // e.g. "ttyUSB0"
    uint16_t vendor = 0x0403;
    uint16_t product = 0x6001;
    std::optional<uint16_t> release;  // bcdDevice
    std::optional<std::string> serial;
    std::optional<std::string> description;
    std::string node;  // where the device node points; empty: no node
};

// A sysfs tree and a /dev directory in temporary directories, which the
// layer is pointed at for the lifetime of the object.
class FakeSysfs {
public:
    FakeSysfs();
    // Returns the port's latency_timer attribute.
    fs::path addFtdi(const UsbDevice& dev, Layout layout = Layout::DriverDir);
    // A tty of another usb-serial driver, which must not be listed.
    void addOtherTty(const std::string& tty, const std::string& driver);
    const fs::path& root() const { return sys_.path(); }

private:
    TempDir sys_;
    TempDir dev_;
    EnvSetting sysEnv_;
    EnvSetting devEnv_;
    int usbNumber_ = 1;
};

// Every test starts from an empty fake sysfs and no FTD2XX_DEVICES.
class LayerTest : public ::testing::Test {
protected:
    FakeSysfs sysfs_;
    EnvSetting devices_{"FTD2XX_DEVICES", std::nullopt};
};

DWORD deviceCount();
void writeFile(const fs::path& file, const std::string& text);
std::string readFile(const fs::path& file);

}  // namespace ftd2xx_test

#endif
