// Ftdio.h - the USB serial transport: the only code that calls the D2XX
// library. One device at a time; every operation returns true when each of
// its D2XX calls returned FT_OK (and, for transfers, moved the whole count).
// With no device open the operations return false without calling D2XX.
#ifndef FTDIO_H
#define FTDIO_H

#include <cstdint>

#include "ftd2xx.h"

// Handle of the device opened last; 0 when none is open.
extern FT_HANDLE Ftdio_Handle;
// Status of the most recent D2XX call (FT_INVALID_HANDLE when an operation
// was refused for want of an open device).
extern FT_STATUS Ftdio_Status;

// count receives the number of attached D2XX devices.
bool Ftdio_CountDevices(uint32_t &count);
// Opens the device with that index (from 0); handle receives the new handle,
// 0 on failure.
bool Ftdio_Open(uint32_t index, FT_HANDLE &handle);
// Latency timer 2 ms, baud rate, 8N1, time-outs 200/200 ms, purge of both
// queues, in that order; the first failure ends the set-up.
bool Ftdio_SetupLine(uint32_t baud);
// Closes the device; handle and Ftdio_Handle become 0 whatever the result.
bool Ftdio_Close(FT_HANDLE &handle);
bool Ftdio_Write(uint32_t count, const uint8_t *buffer);
// False when no byte arrived within the read time-out.
bool Ftdio_ReadByte(uint8_t &byte);
// Read time-out in ms; the write time-out stays 200 ms.
bool Ftdio_SetReadTimeout(uint32_t ms);
// text: 17 bytes; receives the serial number, always zero-terminated.
bool Ftdio_GetSerialNumber(char *text);

#endif
