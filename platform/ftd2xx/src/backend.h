// The seam between the D2XX calls and the operating system: a backend lists
// devices and opens them; an open device is a Port. Everything that knows
// about ttys, sysfs or environment variables lives behind this interface.
#ifndef FTD2XX_BACKEND_H
#define FTD2XX_BACKEND_H

#include "ftd2xx.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ftd2xx {

// Longest serial number and description FT_GetDeviceInfo hands out, in
// characters without the terminating zero.
constexpr std::size_t kSerialMax = 16;
constexpr std::size_t kDescriptionMax = 63;

// One entry of the device list, as FT_GetDeviceInfo reports it later.
struct DeviceEntry {
    std::string path;          // device node to open
    std::string serial;        // at most kSerialMax characters
    std::string description;   // at most kDescriptionMax characters
    uint32_t id = 0;           // vendor id << 16 | product id; 0 when unknown
    FT_DEVICE type = FT_DEVICE_UNKNOWN;
    std::string latencyTimer;  // driver attribute for the latency timer; empty for plain ttys
};

enum class Parity { None, Odd, Even };

struct LineFormat {
    unsigned dataBits = 8;  // 7 or 8
    unsigned stopBits = 1;  // 1 or 2
    Parity parity = Parity::None;
};

enum class IoStatus {
    Ok,           // count bytes moved (count > 0)
    TimedOut,     // nothing moved within the wait
    Gone,         // the device or the far end has gone; it will not come back
    Interrupted,  // Port::interrupt was called
};

struct IoResult {
    IoStatus status;
    std::size_t count;
};

// Wait times in milliseconds; kWaitForever waits without limit.
constexpr int kWaitForever = -1;

// An open device. Not thread-safe except for interrupt(); the caller
// serialises the other calls.
class Port {
public:
    virtual ~Port() = default;

    // Identifies the underlying device, so that two paths naming one tty
    // (a symlink and its target) compare equal.
    virtual std::string identity() const = 0;

    // FT_INVALID_BAUD_RATE for a rate the device cannot be set to.
    virtual FT_STATUS setBaudRate(uint32_t baud) = 0;
    virtual FT_STATUS setLineFormat(const LineFormat& format) = 0;
    // Milliseconds, 2 to 255 (checked by the caller).
    virtual FT_STATUS setLatencyTimer(unsigned ms) = 0;
    // Empties the kernel's queues; the caller owns any buffer of its own.
    virtual FT_STATUS purge(bool rx, bool tx) = 0;

    // Waits up to waitMs for input, then reads what is there, up to size.
    virtual IoResult readSome(uint8_t* buffer, std::size_t size, int waitMs) = 0;
    // Writes as much of the data as the device takes, waiting up to waitMs
    // for room.
    virtual IoResult writeSome(const uint8_t* data, std::size_t size, int waitMs) = 0;

    // Safe from any thread: makes a blocked readSome/writeSome, and every
    // later one, return Interrupted at once.
    virtual void interrupt() = 0;
};

class Backend {
public:
    virtual ~Backend() = default;

    // The current device list, in index order, read anew on every call.
    virtual std::vector<DeviceEntry> enumerate() = 0;

    // Opens the device exclusively, in raw mode, 9600 baud 8N1. On failure
    // returns FT_DEVICE_NOT_OPENED and leaves port empty.
    virtual FT_STATUS open(const DeviceEntry& entry, std::unique_ptr<Port>& port) = 0;

    // Identity of the device at entry.path without opening it (see
    // Port::identity); empty when it cannot be found.
    virtual std::string identityOf(const DeviceEntry& entry) = 0;
};

// The backend over the kernel's serial ttys; lives for the whole process.
Backend& ttyBackend();

}  // namespace ftd2xx

#endif
