// Wake.h - Wake framing over the transport: CRC-8, send one frame, receive
// one frame. No state between calls.
#ifndef WAKE_H
#define WAKE_H

#include <cstddef>
#include <cstdint>

// Folds one byte into crc (start the register at WAKE_CRC_INIT).
void Wake_CrcUpdate(uint8_t value, uint8_t &crc);

// Sends one frame: FEND, the address byte when address is not 0, command
// (low seven bits), length, data, check, escaped; one transport write.
// True when every byte was written.
bool Wake_SendFrame(uint8_t address, uint8_t command, uint8_t length, const uint8_t *data);

// Receives one frame, waiting at most timeout ms for each byte. address gets
// the received address (0 without one), command the received code, length
// the received N. Data byte j goes to buffer[j] only while j < capacity:
// excess bytes are still read and checked but dropped, so the caller sees
// length > capacity and decides. True when a complete frame with a correct
// check arrived. On false the out-values hold what arrived so far (address
// and length reset to 0 first, command kept until one arrives).
bool Wake_ReceiveFrame(uint32_t timeout, uint8_t &address, uint8_t &command, uint8_t *buffer,
                       uint8_t &length, size_t capacity);

#endif
