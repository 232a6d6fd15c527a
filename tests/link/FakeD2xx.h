// FakeD2xx.h - a scripted stand-in for the D2XX library: the eleven FT_
// functions over in-memory devices. Each device has a receive queue (bytes
// and silences), records what was written and how it was set up, and can
// fail any call on request. A responder plays the controller: it sees each
// write and may queue a reply. Calls with a handle that is not open are
// refused with FT_INVALID_HANDLE and counted as misuse.
//
// Every FT_ call and every function here takes one lock, so threads may call
// in at once; the responder runs under that lock and must not call FT_.
#ifndef FAKED2XX_H
#define FAKED2XX_H

#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ftd2xx.h"

namespace fake {

using Bytes = std::vector<uint8_t>;

// One queued receive event: a byte, or a read that times out empty.
struct RxItem {
    bool silence;
    uint8_t byte;
};

struct Device;
using Responder = std::function<void(Device &, const Bytes &written)>;

// The set-up calls, for fault injection and the call log.
enum class Call {
    ListDevices, Open, Close, Read, Write, SetBaudRate, SetDataCharacteristics, Purge,
    SetTimeouts, SetLatencyTimer, GetDeviceInfo
};

struct Device {
    std::string serial = "QX0001";
    Responder responder;

    // Faults: status returned by the call instead of FT_OK.
    FT_STATUS openStatus = FT_OK;
    FT_STATUS closeStatus = FT_OK;
    FT_STATUS readStatus = FT_OK;
    FT_STATUS writeStatus = FT_OK;
    FT_STATUS baudStatus = FT_OK;
    FT_STATUS characteristicsStatus = FT_OK;
    FT_STATUS purgeStatus = FT_OK;
    FT_STATUS timeoutsStatus = FT_OK;
    FT_STATUS latencyStatus = FT_OK;
    FT_STATUS infoStatus = FT_OK;
    // Bytes FT_Write accepts per call (a short write reports fewer).
    size_t writeLimit = std::numeric_limits<size_t>::max();

    // Observed state.
    bool open = false;
    FT_HANDLE handle = nullptr;
    int opens = 0;
    int closes = 0;
    std::deque<RxItem> rx;
    Bytes tx;                   // every byte accepted, in order
    std::vector<Bytes> writes;  // one entry per FT_Write call
    ULONG baud = 0;
    UCHAR latency = 0, wordLength = 0, stopBits = 0, parity = 0;
    ULONG readTimeout = 0, writeTimeout = 0;
    ULONG purgeMask = 0;
    std::vector<ULONG> readTimeouts;  // every FT_SetTimeouts read value
    std::vector<Call> calls;          // calls made on this device's handle

    void Queue(const Bytes &bytes)
    {
        for (uint8_t b : bytes)
            rx.push_back({false, b});
    }
    void QueueSilence() { rx.push_back({true, 0}); }
};

// Forgets all devices and faults.
void Reset();
// Adds a device at the next index; the reference stays valid until Reset.
Device &AddDevice();
Device &DeviceAt(size_t index);
size_t DeviceCount();
// Status of FT_ListDevices (FT_OK by default).
void SetListStatus(FT_STATUS status);
// Calls that named a handle not currently open.
int Misuse();
// Runs f under the fake's lock (for threads inspecting devices).
void Locked(const std::function<void()> &f);

} // namespace fake

#endif
