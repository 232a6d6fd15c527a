/*
 * ftd2xx.h - our D2XX-style USB-serial interface for Linux.
 *
 * This is not FTDI's library. It declares, with the D2XX names and argument
 * meanings, the eleven calls that the link library uses, and implements them
 * over the kernel's serial tty devices (the ftdi_sio driver's ttyUSB devices,
 * plus any tty listed in FTD2XX_DEVICES). Only what those calls need is here.
 *
 * Devices, in index order:
 *   1. FTDI USB-serial devices bound to the kernel's ftdi_sio driver, found
 *      through sysfs, in natural order of their tty names (ttyUSB2 before
 *      ttyUSB10). The sysfs root is /sys, or the value of FTD2XX_SYSFS_ROOT;
 *      their device nodes are in /dev, or in the directory FTD2XX_DEV_ROOT
 *      (both are there for tests, which build a fake tree).
 *   2. Each entry of the environment variable FTD2XX_DEVICES, a colon-separated
 *      list of "PATH" or "PATH=SERIAL" entries naming any other tty (a
 *      pseudo-terminal of the simulated controller, another bridge). Empty
 *      entries are skipped; an entry is listed whether or not its path
 *      exists (FT_Open then fails).
 * The list is read anew by every FT_ListDevices and FT_Open.
 *
 * Results: every call returns an FT_STATUS; FT_OK (0) is success. Handles are
 * opaque. A closed, stale or made-up handle gives FT_INVALID_HANDLE and is
 * never dereferenced. A device that vanishes makes reads and writes fail with
 * FT_IO_ERROR within the time-outs.
 *
 * Threads: calls on different handles may run at the same time. Calls on one
 * handle are serialised inside the layer. FT_Close of a handle that another
 * thread is using cuts short that call's wait (the call then returns
 * FT_INVALID_HANDLE), waits for it to return, then closes the device.
 *
 * The layer prints nothing and keeps no error text; the status is the result.
 */
#ifndef FTD2XX_H
#define FTD2XX_H

#include <stdint.h>

#if defined(FTD2XX_BUILD)
#define FTD2XX_API __attribute__((visibility("default")))
#else
#define FTD2XX_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t DWORD;
typedef uint32_t ULONG;
typedef unsigned char UCHAR;
typedef DWORD *LPDWORD;
typedef void *PVOID;
typedef void *LPVOID;
typedef char *PCHAR;

/* Opaque device handle; 0 is never a valid handle. */
typedef PVOID FT_HANDLE;
typedef ULONG FT_STATUS;

/* Status codes. */
enum {
    FT_OK = 0,
    FT_INVALID_HANDLE = 1,
    FT_DEVICE_NOT_FOUND = 2,
    FT_DEVICE_NOT_OPENED = 3,
    FT_IO_ERROR = 4,
    FT_INSUFFICIENT_RESOURCES = 5,
    FT_INVALID_PARAMETER = 6,
    FT_INVALID_BAUD_RATE = 7,
    FT_INVALID_ARGS = 16,
    FT_NOT_SUPPORTED = 17,
    FT_OTHER_ERROR = 18
};

/* FT_ListDevices flags: only the device count is supported. */
#define FT_LIST_NUMBER_ONLY 0x80000000u

/* FT_SetDataCharacteristics arguments. */
#define FT_BITS_8 ((UCHAR)8)
#define FT_BITS_7 ((UCHAR)7)
#define FT_STOP_BITS_1 ((UCHAR)0)
#define FT_STOP_BITS_2 ((UCHAR)2)
#define FT_PARITY_NONE ((UCHAR)0)
#define FT_PARITY_ODD ((UCHAR)1)
#define FT_PARITY_EVEN ((UCHAR)2)

/* FT_Purge mask bits. */
#define FT_PURGE_RX 1u
#define FT_PURGE_TX 2u

/* Device types reported by FT_GetDeviceInfo. */
typedef ULONG FT_DEVICE;
enum {
    FT_DEVICE_BM = 0,
    FT_DEVICE_AM = 1,
    FT_DEVICE_100AX = 2,
    FT_DEVICE_UNKNOWN = 3,
    FT_DEVICE_2232C = 4,
    FT_DEVICE_232R = 5,
    FT_DEVICE_2232H = 6,
    FT_DEVICE_4232H = 7,
    FT_DEVICE_232H = 8,
    FT_DEVICE_X_SERIES = 9
};

/*
 * FT_ListDevices(pArg1, pArg2, Flags): with Flags FT_LIST_NUMBER_ONLY, writes
 * the number of devices to *(DWORD *)pArg1; pArg2 is unused. Other flags give
 * FT_NOT_SUPPORTED; a null pArg1 gives FT_INVALID_PARAMETER.
 */
FTD2XX_API FT_STATUS FT_ListDevices(PVOID pArg1, PVOID pArg2, DWORD Flags);

/*
 * FT_Open(deviceNumber, pHandle): opens the device with that index (from 0)
 * read/write, exclusively, in raw mode at 9600 baud 8N1 with no flow control
 * and no time-outs set (reads wait until the count is met). *pHandle receives
 * the handle, or 0 on failure. FT_DEVICE_NOT_FOUND for an index past the list
 * (or negative); FT_DEVICE_NOT_OPENED when the path is missing or not a tty,
 * cannot be opened, or is already open (in this or another process, also for
 * root, also under another path naming the same tty); FT_INVALID_PARAMETER
 * for a null pHandle.
 */
FTD2XX_API FT_STATUS FT_Open(int deviceNumber, FT_HANDLE *pHandle);

/*
 * FT_Close(ftHandle): closes the device and releases its lock; the handle is
 * invalid afterwards, and a later handle never takes its value.
 */
FTD2XX_API FT_STATUS FT_Close(FT_HANDLE ftHandle);

/*
 * FT_Read(ftHandle, lpBuffer, dwBytesToRead, lpBytesReturned): reads up to
 * dwBytesToRead bytes, waiting at most the read time-out for all of them
 * together (no limit while the time-out is 0). A time-out is FT_OK with
 * *lpBytesReturned below the count. Bytes are fetched from the tty in blocks
 * and kept in the layer, so small reads cost no system call while bytes are
 * waiting. FT_IO_ERROR when the device has gone (unplugged, the far end of a
 * pseudo-terminal closed), once the bytes received before are handed out;
 * *lpBytesReturned is set also then. FT_INVALID_PARAMETER for a null
 * lpBytesReturned, or a null lpBuffer with a non-zero count.
 */
FTD2XX_API FT_STATUS FT_Read(FT_HANDLE ftHandle, LPVOID lpBuffer, DWORD dwBytesToRead,
                             LPDWORD lpBytesReturned);

/*
 * FT_Write(ftHandle, lpBuffer, dwBytesToWrite, lpBytesWritten): writes the
 * bytes, waiting at most the write time-out for all of them together (no
 * limit while it is 0); *lpBytesWritten tells how many were accepted. A
 * time-out is FT_OK with *lpBytesWritten below the count. FT_IO_ERROR when
 * the device has gone; FT_INVALID_PARAMETER as for FT_Read.
 */
FTD2XX_API FT_STATUS FT_Write(FT_HANDLE ftHandle, LPVOID lpBuffer, DWORD dwBytesToWrite,
                              LPDWORD lpBytesWritten);

/*
 * FT_SetBaudRate(ftHandle, BaudRate): the standard rates 300, 600, 1200, 2400,
 * 4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800, 500000, 576000,
 * 921600, 1000000, 1152000, 1500000, 2000000, 2500000, 3000000, 3500000 and
 * 4000000; any other value gives FT_INVALID_BAUD_RATE.
 */
FTD2XX_API FT_STATUS FT_SetBaudRate(FT_HANDLE ftHandle, ULONG BaudRate);

/*
 * FT_SetDataCharacteristics(ftHandle, WordLength, StopBits, Parity): FT_BITS_7
 * or FT_BITS_8, FT_STOP_BITS_1 or FT_STOP_BITS_2, FT_PARITY_NONE, _ODD or
 * _EVEN; other values give FT_INVALID_PARAMETER and change nothing.
 */
FTD2XX_API FT_STATUS FT_SetDataCharacteristics(FT_HANDLE ftHandle, UCHAR WordLength,
                                               UCHAR StopBits, UCHAR Parity);

/*
 * FT_Purge(ftHandle, Mask): FT_PURGE_RX drops every byte received and not yet
 * read (the kernel's queue and the layer's own); FT_PURGE_TX drops bytes
 * written and not yet sent. Other bits are ignored.
 */
FTD2XX_API FT_STATUS FT_Purge(FT_HANDLE ftHandle, ULONG Mask);

/* FT_SetTimeouts(ftHandle, ReadTimeout, WriteTimeout): in milliseconds; 0 waits without limit. */
FTD2XX_API FT_STATUS FT_SetTimeouts(FT_HANDLE ftHandle, ULONG ReadTimeout, ULONG WriteTimeout);

/*
 * FT_SetLatencyTimer(ftHandle, ucLatency): on an FTDI device, the driver's
 * latency timer in milliseconds (2 to 255): its sysfs attribute latency_timer,
 * or, where that cannot be written, the low-latency serial flag (set below
 * 16 ms, cleared from 16 ms). Accepted and ignored on other ttys. A missing
 * permission is not a failure (FT_OK); FT_IO_ERROR only when the device has
 * gone; FT_INVALID_PARAMETER for 0 and 1.
 */
FTD2XX_API FT_STATUS FT_SetLatencyTimer(FT_HANDLE ftHandle, UCHAR ucLatency);

/*
 * FT_GetDeviceInfo(ftHandle, lpftDevice, lpdwID, SerialNumber, Description,
 * Dummy): device type, id (vendor id << 16 | product id, 0 where unknown),
 * the serial number (at most 16 characters and a terminating zero, so a
 * 17-byte buffer suffices) and the product description (at most 63 characters
 * and a zero, for a 64-byte buffer). Any of the out pointers may be null.
 * FTDI devices report the USB device's serial and product strings and the
 * chip family (from the device release, else the product id); entries of
 * FTD2XX_DEVICES report their SERIAL (empty when not given), an empty
 * description, id 0 and FT_DEVICE_UNKNOWN. The texts are copied into the
 * caller's buffers.
 */
FTD2XX_API FT_STATUS FT_GetDeviceInfo(FT_HANDLE ftHandle, FT_DEVICE *lpftDevice, LPDWORD lpdwID,
                                      PCHAR SerialNumber, PCHAR Description, LPVOID Dummy);

#ifdef __cplusplus
}
#endif

#endif /* FTD2XX_H */
