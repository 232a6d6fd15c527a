// qdxlink.cpp - the exported functions, the request/reply exchange, the
// last-error text and the lock that serialises them.
#include "qdxlink.h"

#include <cstring>

#include "Ftdio.h"
#include "QdxWire.h"
#include "Wake.h"
#include "qdx_sys.h"

namespace {

constexpr size_t TX_DATA_SIZE = 200;
constexpr size_t RX_DATA_SIZE = 200;
constexpr size_t LAST_ERROR_SIZE = 65;
constexpr size_t TEXT_SIZE = 32;

CRITICAL_SECTION ApiLock;
FT_HANDLE DeviceHandle = nullptr;
uint8_t TxData[TX_DATA_SIZE];
// One byte more than a reply can fill: it stays 0, so the identity text is
// terminated even when the reply filled all 200 data bytes.
uint8_t RxData[RX_DATA_SIZE + 1];
char LastErrorText[LAST_ERROR_SIZE];
char SerialText[SERIAL_NUMBER_SIZE];

// Indexed by reply command code (9 and above share the last).
const char ErrorPrefixes[CMD_SYSTEM + 1][TEXT_SIZE] = {
    "",
    "IO error: ",
    "Get echo error: ",
    "Get info error: ",
    "Set address error: ",
    "Get address error: ",
    "Set data error: ",
    "Get data error: ",
    "Get limits error: ",
    "System error: ",
};

// Indexed by reply status (6 and above share the last).
const char ErrorMessages[STATUS_UNKNOWN + 1][TEXT_SIZE] = {
    "",
    "invalid packet.",
    "device busy.",
    "device not ready.",
    "invalid parameters.",
    "device not responding.",
    "unknown.",
};

class ApiLockGuard {
public:
    ApiLockGuard() { EnterCriticalSection(&ApiLock); }
    ~ApiLockGuard() { LeaveCriticalSection(&ApiLock); }
    ApiLockGuard(const ApiLockGuard &) = delete;
    ApiLockGuard &operator=(const ApiLockGuard &) = delete;
};

QDX_PROCESS_ATTACH(LibraryAttach)
{
    InitializeCriticalSection(&ApiLock);
}

QDX_PROCESS_DETACH(LibraryDetach)
{
    DeleteCriticalSection(&ApiLock);
}

// Composes LastErrorText from the reply's command code and status; true
// when the outcome is a success (and the text empty).
bool SetErrorText(unsigned code, unsigned status)
{
    if (code == CMD_ECHO || code == CMD_INFO)
        status = STATUS_OK;  // these replies carry no status byte
    if (status == STATUS_OK)
        code = CMD_NOP;
    if (code > CMD_SYSTEM)
        code = CMD_SYSTEM;
    if (status > STATUS_UNKNOWN)
        status = STATUS_UNKNOWN;

    const char *prefix = ErrorPrefixes[code];
    const char *message = ErrorMessages[status];
    const size_t prefixLength = std::strlen(prefix);
    const size_t messageLength = std::strlen(message);
    static_assert(2 * (TEXT_SIZE - 1) < LAST_ERROR_SIZE, "prefix and message must fit");
    std::memcpy(LastErrorText, prefix, prefixLength);
    std::memcpy(LastErrorText + prefixLength, message, messageLength);
    LastErrorText[prefixLength + messageLength] = '\0';
    return status == STATUS_OK;
}

// Sends length bytes of TxData with the command code and reads the reply
// into RxData. The caller holds ApiLock.
bool Exchange(uint8_t command, uint8_t length)
{
    std::memset(RxData, 0, RX_DATA_SIZE);
    if (DeviceHandle == nullptr)
        return SetErrorText(CMD_NOP, STATUS_OK);

    uint8_t address = 0;
    uint8_t replyLength = 0;
    // A reply longer than RxData is not one the controller sends: the excess
    // is dropped by the receive and the exchange fails rather than pass on a
    // cut reply as valid.
    if (!Wake_SendFrame(0, command, length, TxData) ||
        !Wake_ReceiveFrame(LINE_READ_TIMEOUT_MS, address, command, RxData, replyLength,
                           RX_DATA_SIZE) ||
        replyLength > RX_DATA_SIZE)
        return SetErrorText(CMD_ERR, STATUS_NOT_RESPONDING);

    return SetErrorText(command, RxData[0]);
}

// Value byte count and channel bits of request byte 0. bits is signed and the
// division rounds toward zero; only the low four bits of the count fit.
uint8_t RequestHeader(int8_t bits, uint8_t channels)
{
    const int count = (static_cast<int>(bits) + 7) / 8;
    return static_cast<uint8_t>(((count & 0x0F) << 4) | (channels & CHANNEL_BITS));
}

uint8_t LowestChannel(uint8_t mask)
{
    if (mask & 1)
        return 1;
    if (mask & 2)
        return 2;
    if (mask & 4)
        return 4;
    return 0;
}

bool RunGetInfo(const char **text)
{
    const bool ok = Exchange(CMD_INFO, 0);
    if (text != nullptr)
        *text = reinterpret_cast<const char *>(RxData);
    return ok;
}

} // namespace

extern "C" {

// Open and close take ApiLock as well: an exchange on another thread then
// never runs on a device that is being closed or replaced.
QDXLINK_API bool QDX_OpenDevice(void)
{
    ApiLockGuard lock;
    if (DeviceHandle != nullptr)
        Ftdio_Close(DeviceHandle);

    uint32_t count = 0;
    if (!Ftdio_CountDevices(count))
        return false;

    for (uint32_t i = 0; i < count; ++i) {
        const char *text = nullptr;
        if (Ftdio_Open(i, DeviceHandle) && Ftdio_SetupLine(LINE_BAUD) && RunGetInfo(&text) &&
            std::strncmp(text, IdentityString, IdentityLength) == 0)
            return true;
        if (DeviceHandle != nullptr)
            Ftdio_Close(DeviceHandle);
    }
    return false;
}

QDXLINK_API bool QDX_CloseDevice(void)
{
    ApiLockGuard lock;
    if (DeviceHandle == nullptr)
        return false;
    return Ftdio_Close(DeviceHandle);
}

QDXLINK_API void QDX_GetLastError(const char **text)
{
    if (text != nullptr)
        *text = LastErrorText;
}

QDXLINK_API bool QDX_GetInfo(const char **text)
{
    ApiLockGuard lock;
    return RunGetInfo(text);
}

QDXLINK_API bool QDX_Set(uint8_t mask, int8_t bits, uint8_t command, int32_t value)
{
    ApiLockGuard lock;
    const uint32_t v = static_cast<uint32_t>(value);
    TxData[0] = RequestHeader(bits, mask);
    TxData[1] = command;
    TxData[2] = static_cast<uint8_t>(v >> 16);
    TxData[3] = static_cast<uint8_t>(v >> 8);
    TxData[4] = static_cast<uint8_t>(v);
    return Exchange(CMD_SET, SET_REQUEST_LENGTH);
}

QDXLINK_API bool QDX_Get(uint8_t mask, int8_t bits, uint8_t command, int32_t *value)
{
    ApiLockGuard lock;
    TxData[0] = RequestHeader(bits, LowestChannel(mask));
    TxData[1] = command;
    const bool ok = Exchange(CMD_GET, GET_REQUEST_LENGTH);
    if (value != nullptr)
        *value = static_cast<int32_t>((uint32_t{RxData[1]} << 16) | (uint32_t{RxData[2]} << 8) |
                                      uint32_t{RxData[3]});
    return ok;
}

QDXLINK_API bool QDX_Lim(uint8_t *limits)
{
    ApiLockGuard lock;
    const bool ok = Exchange(CMD_LIM, 0);
    if (limits != nullptr)
        *limits = RxData[1];
    return ok;
}

QDXLINK_API bool QDX_GetSN(const char **text)
{
    ApiLockGuard lock;
    const bool ok = Ftdio_GetSerialNumber(SerialText);
    if (text != nullptr)
        *text = SerialText;
    return ok;
}

} // extern "C"
