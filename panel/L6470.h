// L6470 driver command bytes, register addresses and field widths used by
// the command layer. A register write is 0x00 + address, a read 0x20 + address.
#ifndef QDX_PANEL_L6470_H
#define QDX_PANEL_L6470_H

#include <cstdint>

namespace l6470 {

// Register addresses.
inline constexpr std::uint8_t kAbsPos = 0x01;
inline constexpr std::uint8_t kAcc = 0x05;
inline constexpr std::uint8_t kDec = 0x06;
inline constexpr std::uint8_t kMaxSpeed = 0x07;
inline constexpr std::uint8_t kKvalHold = 0x09;
inline constexpr std::uint8_t kKvalRun = 0x0A;
inline constexpr std::uint8_t kKvalAcc = 0x0B;
inline constexpr std::uint8_t kKvalDec = 0x0C;
inline constexpr std::uint8_t kAdcOut = 0x12;
inline constexpr std::uint8_t kFsSpd = 0x15;
inline constexpr std::uint8_t kStepMode = 0x16;
inline constexpr std::uint8_t kConfig = 0x18;
inline constexpr std::uint8_t kStatus = 0x19;

inline constexpr std::uint8_t kSetParam = 0x00;
inline constexpr std::uint8_t kGetParam = 0x20;

// Motion and stop commands. Bit 0 of Run, GoUntil and ReleaseSW is the
// direction (1 forward), bit 3 of GoUntil and ReleaseSW the action bit
// (1: copy ABS_POS to MARK instead of resetting it).
inline constexpr std::uint8_t kRun = 0x50;
inline constexpr std::uint8_t kGoTo = 0x60;
inline constexpr std::uint8_t kGoUntil = 0x82;
inline constexpr std::uint8_t kReleaseSw = 0x92;
inline constexpr std::uint8_t kHardHiZ = 0xA8;
inline constexpr std::uint8_t kSoftStop = 0xB0;
inline constexpr std::uint8_t kHardStop = 0xB8;
inline constexpr std::uint8_t kGetStatus = 0xD0;

inline constexpr std::uint8_t kDirBit = 0x01;
inline constexpr std::uint8_t kActBit = 0x08;

// Data field widths in bits.
inline constexpr std::int8_t kBitsPosition = 22;
inline constexpr std::int8_t kBitsAccel = 12;
inline constexpr std::int8_t kBitsSpeedLimit = 10;  // MAX_SPEED, FS_SPD
inline constexpr std::int8_t kBitsKval = 8;
inline constexpr std::int8_t kBitsAdc = 5;
inline constexpr std::int8_t kBitsStepMode = 8;
inline constexpr std::int8_t kBitsConfig = 16;
inline constexpr std::int8_t kBitsStatus = 16;
inline constexpr std::int8_t kBitsSpeed = 20;  // Run, GoUntil
inline constexpr std::int8_t kBitsNone = 0;

// 22-bit two's complement positions.
inline constexpr std::int32_t kPosMax = 0x1FFFFF;
inline constexpr std::int32_t kPosMin = -0x200000;
inline constexpr std::int32_t kPosMask = 0x3FFFFF;
inline constexpr std::int32_t kPosSign = 0x200000;

}  // namespace l6470

#endif
