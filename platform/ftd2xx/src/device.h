// One open device: the port, its receive buffer, its time-outs, and the lock
// that serialises calls on it.
#ifndef FTD2XX_DEVICE_H
#define FTD2XX_DEVICE_H

#include "backend.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

namespace ftd2xx {

class Device {
public:
    Device(DeviceEntry entry, std::unique_ptr<Port> port);

    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // Fixed at open; readable without the lock.
    const DeviceEntry& entry() const { return entry_; }
    const std::string& identity() const { return identity_; }

    // Each call takes the device lock; after close() they give FT_INVALID_HANDLE.
    // read/write report the count moved also when they fail.
    FT_STATUS read(uint8_t* buffer, DWORD size, DWORD& got);
    FT_STATUS write(const uint8_t* data, DWORD size, DWORD& put);
    FT_STATUS setBaudRate(ULONG baud);
    FT_STATUS setLineFormat(const LineFormat& format);
    FT_STATUS setTimeouts(ULONG readMs, ULONG writeMs);
    FT_STATUS setLatencyTimer(unsigned ms);
    FT_STATUS purge(bool rx, bool tx);
    bool closed() const { return closing_.load(); }

    // Makes a call blocked in a wait give up, waits for it to leave, then
    // closes the port. Called once, by the thread that removed the handle.
    void close();

private:
    // Bytes fetched per read(): large enough that one-byte FT_Reads are
    // served from memory while a reply is arriving.
    static constexpr std::size_t kRxChunk = 4096;

    template <class Op>
    FT_STATUS locked(Op op);
    // Time-out in ms (0: without limit) as a wait for the port.
    static int waitFor(ULONG timeoutMs);

    const DeviceEntry entry_;
    const std::string identity_;
    std::atomic<bool> closing_{false};

    std::mutex mutex_;  // guards everything below
    std::unique_ptr<Port> port_;
    bool gone_ = false;  // the device vanished; it never comes back on this handle
    ULONG readTimeoutMs_ = 0;
    ULONG writeTimeoutMs_ = 0;
    std::array<uint8_t, kRxChunk> rx_{};
    std::size_t rxPos_ = 0;
    std::size_t rxEnd_ = 0;
};

}  // namespace ftd2xx

#endif
