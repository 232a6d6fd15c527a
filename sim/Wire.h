// Wire constants of the simulated controller: Wake frame bytes, request
// command codes, reply status codes, and the L6470 command set, registers
// and STATUS bits its channels carry out.
#ifndef QDX_SIM_WIRE_H
#define QDX_SIM_WIRE_H

#include <cstdint>

namespace qdxsim {

// Wake framing.
inline constexpr std::uint8_t kFend = 0xC0;
inline constexpr std::uint8_t kFesc = 0xDB;
inline constexpr std::uint8_t kTfend = 0xDC;
inline constexpr std::uint8_t kTfesc = 0xDD;
inline constexpr std::uint8_t kCrcInit = 0xDE;
inline constexpr std::uint8_t kCrcPoly = 0x8C;  // x^8 + x^5 + x^4 + 1, reflected
inline constexpr std::size_t kMaxData = 255;

// Request command codes.
inline constexpr std::uint8_t kCmdInfo = 3;
inline constexpr std::uint8_t kCmdSet = 6;
inline constexpr std::uint8_t kCmdGet = 7;
inline constexpr std::uint8_t kCmdLim = 8;

// Request data lengths.
inline constexpr std::size_t kSetLength = 5;
inline constexpr std::size_t kGetLength = 2;

// Reply status codes.
enum Status : std::uint8_t {
    kStatusOk = 0,
    kStatusInvalidPacket = 1,
    kStatusBusy = 2,
    kStatusNotReady = 3,
    kStatusInvalidParameters = 4,
    kStatusNotResponding = 5,
};

namespace l6470 {

// Registers.
enum Register : std::uint8_t {
    kAbsPos = 0x01,
    kElPos = 0x02,
    kMark = 0x03,
    kSpeed = 0x04,
    kAcc = 0x05,
    kDec = 0x06,
    kMaxSpeed = 0x07,
    kMinSpeed = 0x08,
    kKvalHold = 0x09,
    kKvalRun = 0x0A,
    kKvalAcc = 0x0B,
    kKvalDec = 0x0C,
    kIntSpeed = 0x0D,
    kStSlp = 0x0E,
    kFnSlpAcc = 0x0F,
    kFnSlpDec = 0x10,
    kKTherm = 0x11,
    kAdcOut = 0x12,
    kOcdTh = 0x13,
    kStallTh = 0x14,
    kFsSpd = 0x15,
    kStepMode = 0x16,
    kAlarmEn = 0x17,
    kConfig = 0x18,
    kStatus = 0x19,
    kRegisterCount = 0x1A,
};

// Command bytes. Bit 0 of the motion commands is the direction (1 forward);
// bit 3 of GoUntil and ReleaseSW the action (1: copy ABS_POS to MARK).
inline constexpr std::uint8_t kNop = 0x00;
inline constexpr std::uint8_t kSetParam = 0x00;  // | register
inline constexpr std::uint8_t kGetParam = 0x20;  // | register
inline constexpr std::uint8_t kParamMask = 0x1F;
inline constexpr std::uint8_t kMove = 0x40;
inline constexpr std::uint8_t kRun = 0x50;
inline constexpr std::uint8_t kGoTo = 0x60;
inline constexpr std::uint8_t kGoToDir = 0x68;
inline constexpr std::uint8_t kGoHome = 0x70;
inline constexpr std::uint8_t kGoMark = 0x78;
inline constexpr std::uint8_t kGoUntil = 0x82;
inline constexpr std::uint8_t kReleaseSw = 0x92;
inline constexpr std::uint8_t kSoftHiZ = 0xA0;
inline constexpr std::uint8_t kHardHiZ = 0xA8;
inline constexpr std::uint8_t kSoftStop = 0xB0;
inline constexpr std::uint8_t kHardStop = 0xB8;
inline constexpr std::uint8_t kResetDevice = 0xC0;
inline constexpr std::uint8_t kGetStatus = 0xD0;
inline constexpr std::uint8_t kResetPos = 0xD8;
inline constexpr std::uint8_t kDirBit = 0x01;
inline constexpr std::uint8_t kActBit = 0x08;

// STATUS bits. BUSY, UVLO, TH_WRN, TH_SD, OCD and STEP_LOSS are active low.
inline constexpr std::uint16_t kStHiZ = 1u << 0;
inline constexpr std::uint16_t kStBusy = 1u << 1;  // 0 while a command runs
inline constexpr std::uint16_t kStSwF = 1u << 2;   // switch closed
inline constexpr std::uint16_t kStSwEvn = 1u << 3;
inline constexpr std::uint16_t kStDir = 1u << 4;   // 1 forward
inline constexpr unsigned kStMotShift = 5;         // 2 bits
inline constexpr std::uint16_t kStNotPerfCmd = 1u << 7;
inline constexpr std::uint16_t kStWrongCmd = 1u << 8;
inline constexpr std::uint16_t kStUvlo = 1u << 9;
inline constexpr std::uint16_t kStThWrn = 1u << 10;
inline constexpr std::uint16_t kStThSd = 1u << 11;
inline constexpr std::uint16_t kStOcd = 1u << 12;
inline constexpr std::uint16_t kStStepLossA = 1u << 13;
inline constexpr std::uint16_t kStStepLossB = 1u << 14;

// MOT_STATUS values.
inline constexpr std::uint8_t kStopped = 0;
inline constexpr std::uint8_t kAccelerating = 1;
inline constexpr std::uint8_t kDecelerating = 2;
inline constexpr std::uint8_t kConstant = 3;

// CONFIG bit 4: 0 makes a switch turn-on event a hard stop.
inline constexpr std::uint16_t kConfigSwMode = 1u << 4;

// Unit factors: register words per physical unit, with the 250 ns tick.
inline constexpr double kSpeedPerStepS = 67.108864;      // SPEED, Run, GoUntil: 2^-28 step/tick
inline constexpr double kMaxSpeedPerStepS = 0.065536;    // MAX_SPEED, FS_SPD: 2^-18 step/tick
inline constexpr double kMinSpeedPerStepS = 4.194304;    // MIN_SPEED: 2^-24 step/tick
inline constexpr double kAccPerStepS2 = 0.068719476736;  // ACC, DEC: 2^-40 step/tick^2

// ABS_POS and MARK: 22-bit two's complement.
inline constexpr std::uint32_t kPosMask = 0x3FFFFF;

}  // namespace l6470
}  // namespace qdxsim

#endif
