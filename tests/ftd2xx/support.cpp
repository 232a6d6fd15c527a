#include "support.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <sstream>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace ftd2xx_test {

TempDir::TempDir() {
    char pattern[] = "/tmp/ftd2xx-test-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (!made) throw std::runtime_error("mkdtemp failed");
    path_ = made;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

EnvSetting::EnvSetting(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
        ::setenv(name, value->c_str(), 1);
    } else {
        ::unsetenv(name);
    }
}

EnvSetting::~EnvSetting() {
    if (old_) {
        ::setenv(name_.c_str(), old_->c_str(), 1);
    } else {
        ::unsetenv(name_.c_str());
    }
}

Pty::Pty() {
    if (::openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
    char name[128];
    if (::ttyname_r(slave_, name, sizeof name) != 0) throw std::runtime_error("ttyname_r failed");
    path_ = name;
}

Pty::~Pty() {
    closeMaster();
    ::close(slave_);
}

void Pty::send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(master_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        ASSERT_GT(n, 0) << "write to pty master failed";
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::string Pty::receive(std::size_t n, int waitMs) {
    std::string out;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (out.size() < n) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        char buf[4096];
        const ssize_t got = ::read(master_, buf, std::min(sizeof buf, n - out.size()));
        if (got <= 0) break;
        out.append(buf, static_cast<std::size_t>(got));
    }
    return out;
}

int Pty::queued() const {
    int n = -1;
    ::ioctl(slave_, FIONREAD, &n);
    return n;
}

bool Pty::waitQueued(int n) {
    for (int i = 0; i < 5000; ++i) {
        if (queued() >= n) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

void Pty::closeMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

Info deviceInfo(FT_HANDLE h) {
    Info info{};
    char serial[17] = {};
    char description[64] = {};
    info.status = FT_GetDeviceInfo(h, &info.type, &info.id, serial, description, nullptr);
    info.serial = serial;
    info.description = description;
    return info;
}

void writeFile(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

DWORD deviceCount() {
    DWORD n = 12345;
    EXPECT_EQ(FT_ListDevices(&n, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
    return n;
}

FakeSysfs::FakeSysfs()
    : sysEnv_("FTD2XX_SYSFS_ROOT", sys_.path().string()), devEnv_("FTD2XX_DEV_ROOT", dev_.path().string()) {
    fs::create_directories(sys_.path() / "bus/usb-serial/drivers/ftdi_sio");
    fs::create_directories(sys_.path() / "class/tty");
}

namespace {

std::string hex4(uint16_t v) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x\n", v);
    return text;
}

}  // namespace

fs::path FakeSysfs::addFtdi(const UsbDevice& d, Layout layout) {
    const std::string bus = "1-" + std::to_string(usbNumber_++);
    const fs::path usb = sys_.path() / "devices/pci0000:00/0000:00:14.0/usb1" / bus;
    const fs::path port = usb / (bus + ":1.0") / d.tty;
    fs::create_directories(port);
    writeFile(usb / "idVendor", hex4(d.vendor));
    writeFile(usb / "idProduct", hex4(d.product));
    if (d.release) writeFile(usb / "bcdDevice", hex4(*d.release));
    if (d.serial) writeFile(usb / "serial", *d.serial + "\n");
    if (d.description) writeFile(usb / "product", *d.description + "\n");
    writeFile(port / "latency_timer", "16\n");

    const fs::path driver = sys_.path() / "bus/usb-serial/drivers/ftdi_sio";
    fs::create_directory_symlink(driver, port / "driver");
    if (layout == Layout::DriverDir) {
        fs::create_directory_symlink(port, driver / d.tty);
    } else {
        const fs::path classDir = port / "tty" / d.tty;
        fs::create_directories(classDir);
        fs::create_directory_symlink(port, classDir / "device");
        fs::create_directory_symlink(classDir, sys_.path() / "class/tty" / d.tty);
    }
    if (!d.node.empty()) fs::create_symlink(d.node, dev_.path() / d.tty);
    return port / "latency_timer";
}

void FakeSysfs::addOtherTty(const std::string& tty, const std::string& driverName) {
    const fs::path driver = sys_.path() / "bus/usb-serial/drivers" / driverName;
    const fs::path port = sys_.path() / "devices/platform/other" / tty;
    fs::create_directories(driver);
    fs::create_directories(port / "tty" / tty);
    fs::create_directory_symlink(driver, port / "driver");
    fs::create_directory_symlink(port, port / "tty" / tty / "device");
    fs::create_directory_symlink(port / "tty" / tty, sys_.path() / "class/tty" / tty);
    fs::create_directory_symlink(port, driver / tty);
}

}  // namespace ftd2xx_test
