// The exported D2XX calls: argument checks, then the handle table, the
// device object and the backend.
#include "ftd2xx.h"

#include "backend.h"
#include "device.h"
#include "handle_table.h"

#include <cstring>
#include <mutex>

using namespace ftd2xx;

namespace {

constexpr UCHAR kMinLatencyMs = 2;

// Serialises FT_Open, so that the in-process check for a device already open
// and the open itself cannot interleave with another FT_Open.
std::mutex& openMutex() {
    static std::mutex* m = new std::mutex;
    return *m;
}

void copyText(PCHAR out, const std::string& text) {
    if (!out) return;
    std::memcpy(out, text.c_str(), text.size() + 1);
}

template <class Op>
FT_STATUS withDevice(FT_HANDLE handle, Op op) {
    const std::shared_ptr<Device> device = handleTable().find(handle);
    if (!device) return FT_INVALID_HANDLE;
    return op(*device);
}

}  // namespace

extern "C" {

FT_STATUS FT_ListDevices(PVOID pArg1, PVOID /*pArg2*/, DWORD Flags) {
    if (Flags != FT_LIST_NUMBER_ONLY) return FT_NOT_SUPPORTED;
    if (!pArg1) return FT_INVALID_PARAMETER;
    *static_cast<DWORD*>(pArg1) = static_cast<DWORD>(ttyBackend().enumerate().size());
    return FT_OK;
}

FT_STATUS FT_Open(int deviceNumber, FT_HANDLE* pHandle) {
    if (!pHandle) return FT_INVALID_PARAMETER;
    *pHandle = nullptr;
    Backend& backend = ttyBackend();
    const std::vector<DeviceEntry> list = backend.enumerate();
    if (deviceNumber < 0 || static_cast<std::size_t>(deviceNumber) >= list.size()) return FT_DEVICE_NOT_FOUND;
    const DeviceEntry& entry = list[static_cast<std::size_t>(deviceNumber)];

    std::lock_guard<std::mutex> lock(openMutex());
    const std::string identity = backend.identityOf(entry);
    if (!identity.empty() && handleTable().holdsIdentity(identity)) return FT_DEVICE_NOT_OPENED;

    std::unique_ptr<Port> port;
    if (const FT_STATUS st = backend.open(entry, port); st != FT_OK) return st;
    auto device = std::make_shared<Device>(entry, std::move(port));
    const FT_HANDLE handle = handleTable().add(device);
    if (!handle) {
        device->close();
        return FT_INSUFFICIENT_RESOURCES;
    }
    *pHandle = handle;
    return FT_OK;
}

FT_STATUS FT_Close(FT_HANDLE ftHandle) {
    const std::shared_ptr<Device> device = handleTable().remove(ftHandle);
    if (!device) return FT_INVALID_HANDLE;
    device->close();
    return FT_OK;
}

FT_STATUS FT_Read(FT_HANDLE ftHandle, LPVOID lpBuffer, DWORD dwBytesToRead, LPDWORD lpBytesReturned) {
    return withDevice(ftHandle, [&](Device& d) -> FT_STATUS {
        if (!lpBytesReturned || (!lpBuffer && dwBytesToRead > 0)) return FT_INVALID_PARAMETER;
        return d.read(static_cast<uint8_t*>(lpBuffer), dwBytesToRead, *lpBytesReturned);
    });
}

FT_STATUS FT_Write(FT_HANDLE ftHandle, LPVOID lpBuffer, DWORD dwBytesToWrite, LPDWORD lpBytesWritten) {
    return withDevice(ftHandle, [&](Device& d) -> FT_STATUS {
        if (!lpBytesWritten || (!lpBuffer && dwBytesToWrite > 0)) return FT_INVALID_PARAMETER;
        return d.write(static_cast<const uint8_t*>(lpBuffer), dwBytesToWrite, *lpBytesWritten);
    });
}

FT_STATUS FT_SetBaudRate(FT_HANDLE ftHandle, ULONG BaudRate) {
    return withDevice(ftHandle, [&](Device& d) { return d.setBaudRate(BaudRate); });
}

FT_STATUS FT_SetDataCharacteristics(FT_HANDLE ftHandle, UCHAR WordLength, UCHAR StopBits, UCHAR Parity) {
    return withDevice(ftHandle, [&](Device& d) -> FT_STATUS {
        LineFormat format;
        if (WordLength != FT_BITS_7 && WordLength != FT_BITS_8) return FT_INVALID_PARAMETER;
        format.dataBits = WordLength;
        if (StopBits == FT_STOP_BITS_1) {
            format.stopBits = 1;
        } else if (StopBits == FT_STOP_BITS_2) {
            format.stopBits = 2;
        } else {
            return FT_INVALID_PARAMETER;
        }
        switch (Parity) {
            case FT_PARITY_NONE: format.parity = Parity::None; break;
            case FT_PARITY_ODD: format.parity = Parity::Odd; break;
            case FT_PARITY_EVEN: format.parity = Parity::Even; break;
            default: return FT_INVALID_PARAMETER;
        }
        return d.setLineFormat(format);
    });
}

FT_STATUS FT_Purge(FT_HANDLE ftHandle, ULONG Mask) {
    return withDevice(ftHandle,
                      [&](Device& d) { return d.purge((Mask & FT_PURGE_RX) != 0, (Mask & FT_PURGE_TX) != 0); });
}

FT_STATUS FT_SetTimeouts(FT_HANDLE ftHandle, ULONG ReadTimeout, ULONG WriteTimeout) {
    return withDevice(ftHandle, [&](Device& d) { return d.setTimeouts(ReadTimeout, WriteTimeout); });
}

FT_STATUS FT_SetLatencyTimer(FT_HANDLE ftHandle, UCHAR ucLatency) {
    return withDevice(ftHandle, [&](Device& d) -> FT_STATUS {
        if (ucLatency < kMinLatencyMs) return FT_INVALID_PARAMETER;
        return d.setLatencyTimer(ucLatency);
    });
}

FT_STATUS FT_GetDeviceInfo(FT_HANDLE ftHandle, FT_DEVICE* lpftDevice, LPDWORD lpdwID, PCHAR SerialNumber,
                           PCHAR Description, LPVOID /*Dummy*/) {
    return withDevice(ftHandle, [&](Device& d) -> FT_STATUS {
        if (d.closed()) return FT_INVALID_HANDLE;
        const DeviceEntry& e = d.entry();
        if (lpftDevice) *lpftDevice = e.type;
        if (lpdwID) *lpdwID = e.id;
        copyText(SerialNumber, e.serial);
        copyText(Description, e.description);
        return FT_OK;
    });
}

}  // extern "C"
