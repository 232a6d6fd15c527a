// QdxWire.h - the bytes on the controller's line: Wake frame bytes and CRC,
// request command codes, reply status codes and the serial line settings.
#ifndef QDXWIRE_H
#define QDXWIRE_H

#include <cstddef>
#include <cstdint>

// Wake special bytes.
constexpr uint8_t FEND = 0xC0;   // frame start; never escaped in that position
constexpr uint8_t FESC = 0xDB;   // escape: the next byte tells which value stands here
constexpr uint8_t TFEND = 0xDC;  // FESC TFEND stands for 0xC0
constexpr uint8_t TFESC = 0xDD;  // FESC TFESC stands for 0xDB

constexpr uint8_t WAKE_ADDRESS_FLAG = 0x80;  // set on the address byte, clear on the command
constexpr uint8_t WAKE_CODE_MASK = 0x7F;

// CRC-8, reflected polynomial x^8 + x^5 + x^4 + 1, initial 0xDE, no final XOR.
constexpr uint8_t WAKE_CRC_INIT = 0xDE;
constexpr uint8_t WAKE_CRC_POLY = 0x8C;

// Longest escaped frame: FEND + 2 * (address, command, N, 255 data, check) = 519.
constexpr size_t WAKE_SEND_BUFFER = 520;
// Bytes read while hunting for FEND before a receive gives up.
constexpr int WAKE_HUNT_LIMIT = 512;

// Command codes of requests and replies.
constexpr uint8_t CMD_NOP = 0;
constexpr uint8_t CMD_ERR = 1;       // also the code of the library's own failure text
constexpr uint8_t CMD_ECHO = 2;      // reply carries no status byte
constexpr uint8_t CMD_INFO = 3;      // identity; reply carries no status byte
constexpr uint8_t CMD_SETADDR = 4;
constexpr uint8_t CMD_GETADDR = 5;
constexpr uint8_t CMD_SET = 6;
constexpr uint8_t CMD_GET = 7;
constexpr uint8_t CMD_LIM = 8;
constexpr uint8_t CMD_SYSTEM = 9;    // this and every higher code share one prefix

// Reply status codes (reply data byte 0).
constexpr uint8_t STATUS_OK = 0;
constexpr uint8_t STATUS_INVALID_PACKET = 1;
constexpr uint8_t STATUS_BUSY = 2;
constexpr uint8_t STATUS_NOT_READY = 3;
constexpr uint8_t STATUS_INVALID_PARAMETERS = 4;
constexpr uint8_t STATUS_NOT_RESPONDING = 5;  // also the library's own: no valid reply
constexpr uint8_t STATUS_UNKNOWN = 6;         // this and every higher status

// Request data sizes.
constexpr uint8_t SET_REQUEST_LENGTH = 5;  // count|mask, command, value 23..16, 15..8, 7..0
constexpr uint8_t GET_REQUEST_LENGTH = 2;  // count|channel, command
constexpr uint8_t CHANNEL_BITS = 0x07;

// The first characters of a genuine controller's identity reply.
constexpr char IdentityString[] = "Quodrix";
constexpr size_t IdentityLength = sizeof IdentityString - 1;

// Serial line.
constexpr uint32_t LINE_BAUD = 115200;
constexpr uint8_t LINE_LATENCY_MS = 2;
constexpr uint32_t LINE_READ_TIMEOUT_MS = 200;   // bounds the wait for each reply byte
constexpr uint32_t LINE_WRITE_TIMEOUT_MS = 200;
constexpr size_t SERIAL_NUMBER_SIZE = 17;        // 16 characters and the zero

#endif
