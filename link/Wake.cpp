#include "Wake.h"

#include "Ftdio.h"
#include "QdxWire.h"

void Wake_CrcUpdate(uint8_t value, uint8_t &crc)
{
    for (int bit = 0; bit < 8; ++bit) {
        if ((crc ^ value) & 1)
            crc = static_cast<uint8_t>((crc >> 1) ^ WAKE_CRC_POLY);
        else
            crc = static_cast<uint8_t>(crc >> 1);
        value = static_cast<uint8_t>(value >> 1);
    }
}

namespace {

void PutEscaped(uint8_t *frame, size_t &used, uint8_t byte)
{
    if (byte == FEND) {
        frame[used++] = FESC;
        frame[used++] = TFEND;
    } else if (byte == FESC) {
        frame[used++] = FESC;
        frame[used++] = TFESC;
    } else {
        frame[used++] = byte;
    }
}

// Reads one frame byte and undoes the escape. False on a failed read or an
// escape that stands for neither special value.
bool ReadUnescaped(uint8_t &value)
{
    if (!Ftdio_ReadByte(value))
        return false;
    if (value != FESC)
        return true;
    uint8_t code = 0;
    if (!Ftdio_ReadByte(code))
        return false;
    if (code == TFEND)
        value = FEND;
    else if (code == TFESC)
        value = FESC;
    else
        return false;
    return true;
}

} // namespace

bool Wake_SendFrame(uint8_t address, uint8_t command, uint8_t length, const uint8_t *data)
{
    if (length != 0 && data == nullptr)
        return false;

    uint8_t frame[WAKE_SEND_BUFFER];
    size_t used = 0;
    uint8_t crc = WAKE_CRC_INIT;

    Wake_CrcUpdate(FEND, crc);
    frame[used++] = FEND;

    if (address != 0) {
        const uint8_t value = address & WAKE_CODE_MASK;
        Wake_CrcUpdate(value, crc);
        PutEscaped(frame, used, value | WAKE_ADDRESS_FLAG);
    }

    const uint8_t code = command & WAKE_CODE_MASK;
    Wake_CrcUpdate(code, crc);
    PutEscaped(frame, used, code);

    Wake_CrcUpdate(length, crc);
    PutEscaped(frame, used, length);

    for (size_t j = 0; j < length; ++j) {
        Wake_CrcUpdate(data[j], crc);
        PutEscaped(frame, used, data[j]);
    }

    PutEscaped(frame, used, crc);

    return Ftdio_Write(static_cast<uint32_t>(used), frame);
}

bool Wake_ReceiveFrame(uint32_t timeout, uint8_t &address, uint8_t &command, uint8_t *buffer,
                       uint8_t &length, size_t capacity)
{
    if (!Ftdio_SetReadTimeout(timeout))
        return false;

    bool started = false;
    for (int n = 0; n < WAKE_HUNT_LIMIT && !started; ++n) {
        uint8_t byte = 0;
        if (!Ftdio_ReadByte(byte))
            return false;
        started = byte == FEND;
    }
    if (!started)
        return false;

    uint8_t crc = WAKE_CRC_INIT;
    Wake_CrcUpdate(FEND, crc);
    length = 0;
    address = 0;

    enum class Position { First, Command, Length, Data } position = Position::First;
    size_t j = 0;  // data position; position N is the check byte

    for (;;) {
        uint8_t value = 0;
        if (!ReadUnescaped(value))
            return false;

        switch (position) {
        case Position::First:
            if (value & WAKE_ADDRESS_FLAG) {
                value &= WAKE_CODE_MASK;
                address = value;
                position = Position::Command;
            } else {
                command = value;
                position = Position::Length;
            }
            Wake_CrcUpdate(value, crc);
            break;
        case Position::Command:
            if (value & WAKE_ADDRESS_FLAG)
                return false;
            command = value;
            position = Position::Length;
            Wake_CrcUpdate(value, crc);
            break;
        case Position::Length:
            length = value;
            position = Position::Data;
            Wake_CrcUpdate(value, crc);
            break;
        case Position::Data:
            Wake_CrcUpdate(value, crc);
            if (j == length)
                return crc == 0;
            if (j < capacity)
                buffer[j] = value;
            ++j;
            break;
        }
    }
}
