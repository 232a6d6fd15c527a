/*
 * qdxlink.h - host library for the Quodrix USB stepper-motor controller.
 *
 * The library finds the controller among the attached USB-serial bridge
 * devices (the first whose identity text begins with "Quodrix"), and passes
 * L6470 driver commands and register reads to its three channels in Wake
 * frames at 115200 baud 8N1. One request frame is answered by one reply frame.
 *
 * Results: true for success, false for failure. No function throws, prints
 * or shows anything. A null out pointer is ignored (nothing is stored there). The reason of the last failed exchange is in the
 * last-error text (QDX_GetLastError); a successful exchange leaves it empty.
 *
 * No controller open: QDX_GetInfo, QDX_Set, QDX_Get and QDX_Lim send
 * nothing and succeed with an empty last-error text; reads yield 0 and the
 * identity text is empty.
 *
 * Replies: each exchange waits at most 200 ms for each reply byte. A missing
 * or broken reply, and a reply with more than 200 data bytes, fail the
 * exchange with "IO error: device not responding.".
 *
 * Texts: every const char * the library hands out points into its own static
 * buffers. It stays valid while the library is loaded and is overwritten by
 * the next call that refills the same buffer. Never write or free it; copy
 * it if it must outlive the next call.
 *
 * Threads: the library starts no thread. QDX_GetInfo, QDX_Set, QDX_Get,
 * QDX_Lim and QDX_GetSN are serialised by one lock, so a request and its
 * reply are never interleaved with another's. QDX_OpenDevice and
 * QDX_CloseDevice may be called while other threads run exchanges: they wait
 * for the exchange in progress, and an exchange never uses a closed device.
 * QDX_GetLastError takes no lock; read its text on the thread that ran the
 * exchange, before that thread or another runs the next one.
 *
 * Channel mask (mask): bit 0 channel 1, bit 1 channel 2, bit 2 channel 3;
 * higher bits are dropped. A set goes to every selected channel; a get reads
 * the lowest selected channel only.
 *
 * Bit length (bits): width in bits of the driver command's data field, 0 to
 * 24. The request carries (bits + 7) / 8 as its value byte count and always
 * three value bytes, most significant first (the low 24 bits of value).
 */
#ifndef QDXLINK_H
#define QDXLINK_H

#include <stdbool.h>
#include <stdint.h>

#if defined(QDXLINK_BUILD)
#define QDXLINK_API __attribute__((visibility("default")))
#else
#define QDXLINK_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Closes any open controller, then opens each attached bridge device in
 * turn (in the D2XX library's index order), sets up its line and asks for its
 * identity; the first device whose identity text begins with "Quodrix" stays
 * open. True when one was found.
 * False when the devices cannot be counted, there are none, or none matched;
 * the last-error text is then that of the last identity exchange run.
 */
QDXLINK_API bool QDX_OpenDevice(void);

/*
 * Closes the open controller. True when it was open and the close
 * succeeded; false (and nothing changes) when no controller was open.
 * Leaves the last-error text alone.
 */
QDXLINK_API bool QDX_CloseDevice(void);

/*
 * Stores in *text the last-error text: empty after a successful exchange,
 * else a prefix for the reply's command code followed by a message for its
 * status, for example "IO error: device not responding.". At most 64
 * characters.
 */
QDXLINK_API void QDX_GetLastError(const char **text);

/*
 * Runs the identity exchange and stores in *text the identity text the
 * controller sent (also after a failure, then whatever arrived, at most its
 * first 200 bytes). Always zero-terminated. Valid until the next exchange.
 */
QDXLINK_API bool QDX_GetInfo(const char **text);

/* Sends one driver command with its value to every channel in mask. */
QDXLINK_API bool QDX_Set(uint8_t mask, int8_t bits, uint8_t command, int32_t value);

/*
 * Reads one driver register or status of the lowest channel in mask. *value
 * receives the reply's 24-bit unsigned number (upper eight bits 0), also
 * after a failure (then decoded from what arrived, zeros elsewhere).
 */
QDXLINK_API bool QDX_Get(uint8_t mask, int8_t bits, uint8_t command, int32_t *value);

/*
 * Reads the controller's limits byte into *limits (also after a failure),
 * passed on uninterpreted: one bit per channel's switch input.
 */
QDXLINK_API bool QDX_Lim(uint8_t *limits);

/*
 * Stores in *text the serial number of the open controller's bridge, at most
 * 16 characters. True when the bridge reported it; false with an empty text
 * otherwise (in particular with no controller open). Runs no exchange and
 * leaves the last-error text alone. Valid until the next QDX_GetSN.
 */
QDXLINK_API bool QDX_GetSN(const char **text);

#ifdef __cplusplus
}
#endif

#endif /* QDXLINK_H */
