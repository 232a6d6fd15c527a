#include "Ftdio.h"

#include "QdxWire.h"

FT_HANDLE Ftdio_Handle = nullptr;
FT_STATUS Ftdio_Status = FT_OK;

namespace {

bool Done(FT_STATUS status)
{
    Ftdio_Status = status;
    return status == FT_OK;
}

bool HaveDevice()
{
    if (Ftdio_Handle != nullptr)
        return true;
    Ftdio_Status = FT_INVALID_HANDLE;
    return false;
}

} // namespace

bool Ftdio_CountDevices(uint32_t &count)
{
    DWORD number = 0;
    const bool ok = Done(FT_ListDevices(&number, nullptr, FT_LIST_NUMBER_ONLY));
    count = ok ? number : 0;
    return ok;
}

bool Ftdio_Open(uint32_t index, FT_HANDLE &handle)
{
    FT_HANDLE opened = nullptr;
    const bool ok = Done(FT_Open(static_cast<int>(index), &opened));
    Ftdio_Handle = ok ? opened : nullptr;
    handle = Ftdio_Handle;
    return ok;
}

bool Ftdio_SetupLine(uint32_t baud)
{
    return HaveDevice() &&
           Done(FT_SetLatencyTimer(Ftdio_Handle, LINE_LATENCY_MS)) &&
           Done(FT_SetBaudRate(Ftdio_Handle, baud)) &&
           Done(FT_SetDataCharacteristics(Ftdio_Handle, FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_NONE)) &&
           Done(FT_SetTimeouts(Ftdio_Handle, LINE_READ_TIMEOUT_MS, LINE_WRITE_TIMEOUT_MS)) &&
           Done(FT_Purge(Ftdio_Handle, FT_PURGE_RX | FT_PURGE_TX));
}

bool Ftdio_Close(FT_HANDLE &handle)
{
    handle = nullptr;
    if (!HaveDevice())
        return false;
    FT_HANDLE closing = Ftdio_Handle;
    Ftdio_Handle = nullptr;
    return Done(FT_Close(closing));
}

bool Ftdio_Write(uint32_t count, const uint8_t *buffer)
{
    if (!HaveDevice())
        return false;
    DWORD written = 0;
    // D2XX takes a non-const buffer but only reads it.
    return Done(FT_Write(Ftdio_Handle, const_cast<uint8_t *>(buffer), count, &written)) &&
           written == count;
}

bool Ftdio_ReadByte(uint8_t &byte)
{
    if (!HaveDevice())
        return false;
    DWORD received = 0;
    return Done(FT_Read(Ftdio_Handle, &byte, 1, &received)) && received == 1;
}

bool Ftdio_SetReadTimeout(uint32_t ms)
{
    return HaveDevice() && Done(FT_SetTimeouts(Ftdio_Handle, ms, LINE_WRITE_TIMEOUT_MS));
}

bool Ftdio_GetSerialNumber(char *text)
{
    text[0] = '\0';
    if (!HaveDevice())
        return false;
    FT_DEVICE type = 0;
    DWORD id = 0;
    char description[64] = {};
    const bool ok = Done(FT_GetDeviceInfo(Ftdio_Handle, &type, &id, text, description, nullptr));
    text[SERIAL_NUMBER_SIZE - 1] = '\0';
    if (!ok)
        text[0] = '\0';
    return ok;
}
