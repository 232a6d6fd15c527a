#include "FakeD2xx.h"

#include <algorithm>
#include <cstring>

namespace fake {
namespace {

struct State {
    std::recursive_mutex mutex;
    std::vector<std::unique_ptr<Device>> devices;
    FT_STATUS listStatus = FT_OK;
    int misuse = 0;
    uintptr_t nextHandle = 0x1000;
};

State &S()
{
    static State state;
    return state;
}

Device *Find(FT_HANDLE handle, Call call)
{
    for (auto &d : S().devices)
        if (d->open && d->handle == handle && handle != nullptr) {
            d->calls.push_back(call);
            return d.get();
        }
    ++S().misuse;
    return nullptr;
}

} // namespace

void Reset()
{
    std::lock_guard lock(S().mutex);
    S().devices.clear();
    S().listStatus = FT_OK;
    S().misuse = 0;
}

Device &AddDevice()
{
    std::lock_guard lock(S().mutex);
    S().devices.push_back(std::make_unique<Device>());
    return *S().devices.back();
}

Device &DeviceAt(size_t index)
{
    std::lock_guard lock(S().mutex);
    return *S().devices.at(index);
}

size_t DeviceCount()
{
    std::lock_guard lock(S().mutex);
    return S().devices.size();
}

void SetListStatus(FT_STATUS status)
{
    std::lock_guard lock(S().mutex);
    S().listStatus = status;
}

int Misuse()
{
    std::lock_guard lock(S().mutex);
    return S().misuse;
}

void Locked(const std::function<void()> &f)
{
    std::lock_guard lock(S().mutex);
    f();
}

} // namespace fake

using fake::Call;
using fake::S;

extern "C" {

FT_STATUS FT_ListDevices(PVOID pArg1, PVOID, DWORD Flags)
{
    std::lock_guard lock(S().mutex);
    if (Flags != FT_LIST_NUMBER_ONLY)
        return FT_NOT_SUPPORTED;
    if (pArg1 == nullptr)
        return FT_INVALID_PARAMETER;
    if (S().listStatus != FT_OK)
        return S().listStatus;
    *static_cast<DWORD *>(pArg1) = static_cast<DWORD>(S().devices.size());
    return FT_OK;
}

FT_STATUS FT_Open(int deviceNumber, FT_HANDLE *pHandle)
{
    std::lock_guard lock(S().mutex);
    if (pHandle == nullptr)
        return FT_INVALID_PARAMETER;
    if (deviceNumber < 0 || static_cast<size_t>(deviceNumber) >= S().devices.size())
        return FT_DEVICE_NOT_FOUND;
    fake::Device &d = *S().devices[static_cast<size_t>(deviceNumber)];
    d.calls.push_back(Call::Open);
    if (d.openStatus != FT_OK)
        return d.openStatus;
    if (d.open)
        return FT_DEVICE_NOT_OPENED;
    d.open = true;
    ++d.opens;
    // A fresh value per open, so a stale handle is never taken for a live one.
    S().nextHandle += 0x10;
    d.handle = reinterpret_cast<FT_HANDLE>(S().nextHandle);
    *pHandle = d.handle;
    return FT_OK;
}

FT_STATUS FT_Close(FT_HANDLE ftHandle)
{
    std::lock_guard lock(S().mutex);
    fake::Device *d = fake::Find(ftHandle, Call::Close);
    if (d == nullptr)
        return FT_INVALID_HANDLE;
    d->open = false;
    d->handle = nullptr;
    ++d->closes;
    return d->closeStatus;
}

FT_STATUS FT_Read(FT_HANDLE ftHandle, LPVOID lpBuffer, DWORD dwBytesToRead, LPDWORD lpBytesReturned)
{
    std::lock_guard lock(S().mutex);
    fake::Device *d = fake::Find(ftHandle, Call::Read);
    if (d == nullptr)
        return FT_INVALID_HANDLE;
    *lpBytesReturned = 0;
    if (d->readStatus != FT_OK)
        return d->readStatus;
    auto *out = static_cast<uint8_t *>(lpBuffer);
    DWORD got = 0;
    if (!d->rx.empty() && d->rx.front().silence) {
        d->rx.pop_front();
        return FT_OK;
    }
    while (got < dwBytesToRead && !d->rx.empty() && !d->rx.front().silence) {
        out[got++] = d->rx.front().byte;
        d->rx.pop_front();
    }
    *lpBytesReturned = got;
    return FT_OK;
}

FT_STATUS FT_Write(FT_HANDLE ftHandle, LPVOID lpBuffer, DWORD dwBytesToWrite, LPDWORD lpBytesWritten)
{
    std::lock_guard lock(S().mutex);
    fake::Device *d = fake::Find(ftHandle, Call::Write);
    if (d == nullptr)
        return FT_INVALID_HANDLE;
    *lpBytesWritten = 0;
    if (d->writeStatus != FT_OK)
        return d->writeStatus;
    const auto *in = static_cast<const uint8_t *>(lpBuffer);
    const size_t accepted = std::min<size_t>(dwBytesToWrite, d->writeLimit);
    fake::Bytes written(in, in + accepted);
    d->tx.insert(d->tx.end(), written.begin(), written.end());
    d->writes.push_back(written);
    *lpBytesWritten = static_cast<DWORD>(accepted);
    if (d->responder)
        d->responder(*d, written);
    return FT_OK;
}

FT_STATUS FT_SetBaudRate(FT_HANDLE ftHandle, ULONG BaudRate)
{
    std::lock_guard lock(S().mutex);
    fake::Device *d = fake::Find(ftHandle, Call::SetBaudRate);
    if (d == nullptr)
        return FT_INVALID_HANDLE;
    if (d->baudStatus != FT_OK)
        return d->baudStatus;
    d->baud = BaudRate;
    return FT_OK;
}

FT_STATUS FT_SetDataCharacteristics(FT_HANDLE ftHandle, UCHAR WordLength, UCHAR StopBits, UCHAR Parity)
{
    std::lock_guard lock(S().mutex);
    fake::Device *d = fake::Find(ftHandle, Call::SetDataCharacteristics);
    if (d == nullptr)
        return FT_INVALID_HANDLE;
    if (d->characteristicsStatus != FT_OK)
        return d->characteristicsStatus;
    d->wordLength = WordLength;
    d->stopBits = StopBits;
    d->parity = Parity;
    return FT_OK;
}

FT_STATUS FT_Purge(FT_HANDLE ftHandle, ULONG Mask)
{
    std::lock_guard lock(S().mutex);
    fake::Device *d = fake::Find(ftHandle, Call::Purge);
    if (d == nullptr)
        return FT_INVALID_HANDLE;
    if (d->purgeStatus != FT_OK)
        return d->purgeStatus;
    d->purgeMask = Mask;
    if (Mask & FT_PURGE_RX)
        d->rx.clear();
    return FT_OK;
}

FT_STATUS FT_SetTimeouts(FT_HANDLE ftHandle, ULONG ReadTimeout, ULONG WriteTimeout)
{
    std::lock_guard lock(S().mutex);
    fake::Device *d = fake::Find(ftHandle, Call::SetTimeouts);
    if (d == nullptr)
        return FT_INVALID_HANDLE;
    if (d->timeoutsStatus != FT_OK)
        return d->timeoutsStatus;
    d->readTimeout = ReadTimeout;
    d->writeTimeout = WriteTimeout;
    d->readTimeouts.push_back(ReadTimeout);
    return FT_OK;
}

FT_STATUS FT_SetLatencyTimer(FT_HANDLE ftHandle, UCHAR ucLatency)
{
    std::lock_guard lock(S().mutex);
    fake::Device *d = fake::Find(ftHandle, Call::SetLatencyTimer);
    if (d == nullptr)
        return FT_INVALID_HANDLE;
    if (d->latencyStatus != FT_OK)
        return d->latencyStatus;
    d->latency = ucLatency;
    return FT_OK;
}

FT_STATUS FT_GetDeviceInfo(FT_HANDLE ftHandle, FT_DEVICE *lpftDevice, LPDWORD lpdwID,
                           PCHAR SerialNumber, PCHAR Description, LPVOID)
{
    std::lock_guard lock(S().mutex);
    fake::Device *d = fake::Find(ftHandle, Call::GetDeviceInfo);
    if (d == nullptr)
        return FT_INVALID_HANDLE;
    if (d->infoStatus != FT_OK)
        return d->infoStatus;
    if (lpftDevice)
        *lpftDevice = FT_DEVICE_232R;
    if (lpdwID)
        *lpdwID = 0x04036001;
    if (SerialNumber) {
        const size_t n = std::min<size_t>(d->serial.size(), 16);
        std::memcpy(SerialNumber, d->serial.data(), n);
        SerialNumber[n] = '\0';
    }
    if (Description)
        std::strcpy(Description, "Fake USB serial");
    return FT_OK;
}

} // extern "C"
