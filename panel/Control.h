// Command layer: one stateless operation per L6470 driver command or
// register that the panel uses.
//
// Every operation takes the channel mask first (bit 0 channel 1, bit 1
// channel 2, bit 2 channel 3), then flags, then the number, converts the
// number from engineering units to the driver's field, clamps it silently,
// and makes exactly one QDX_Set or QDX_Get call.
//
// Units: positions in steps (saturated to the 22-bit range -2097152 ..
// 2097151), speeds in steps/s, accelerations in steps/s^2, powers in
// percent, supply voltage in volts.
//
// Write operations return QDX_Set's flag unchanged. Read operations ignore
// QDX_Get's flag and decode whatever it delivered (0 when no controller is
// open). Writes reach every channel in the mask; reads come from the lowest
// channel in it.
//
// Threads: no state and no locks here; the link library serialises
// exchanges.
#ifndef QDX_PANEL_CONTROL_H
#define QDX_PANEL_CONTROL_H

#include <cstdint>

// ABS_POS <- position (steps).
bool SetAbsPos(std::uint8_t mask, std::int32_t position);
// ABS_POS of the lowest channel in mask, sign-extended from 22 bits.
std::int32_t GetAbsPos(std::uint8_t mask);

// ACC / DEC <- steps/s^2, clamped to 14.55 .. 59590, rounded (12-bit field).
bool SetAcc(std::uint8_t mask, double stepsPerS2);
bool SetDec(std::uint8_t mask, double stepsPerS2);

// MAX_SPEED <- steps/s, clamped to 15.25 .. 15610, rounded (10-bit field).
bool SetMaxSpeed(std::uint8_t mask, double stepsPerS);
// FS_SPD <- steps/s, clamped to 7.63 .. 15625, truncated, capped at 1023.
bool SetFullStepSpeed(std::uint8_t mask, double stepsPerS);

// KVAL_HOLD / KVAL_RUN / KVAL_ACC / KVAL_DEC <- percent, clamped to
// 0 .. 99.6, x 2.56 rounded (255 = 99.6 %).
bool SetHoldPower(std::uint8_t mask, double percent);
bool SetRunPower(std::uint8_t mask, double percent);
bool SetAccPower(std::uint8_t mask, double percent);
bool SetDecPower(std::uint8_t mask, double percent);

// Supply voltage from ADC_OUT (5 bits, 31 = 29.64 V). The reading is not
// masked, so whatever the library delivers is scaled.
double GetVcc(std::uint8_t mask);

// STEP_MODE <- mode (0 full step ... 7 = 1/128), sent unchanged.
bool SetStepMode(std::uint8_t mask, std::int32_t mode);
// CONFIG <- word, sent unchanged.
bool SetConfig(std::uint8_t mask, std::int32_t word);
// STATUS register as read (does not clear the driver's latched flags).
std::int32_t GetStatusReg(std::uint8_t mask);

// Run at steps/s (0 .. 15625, rounded to the 20-bit speed word).
bool Run(std::uint8_t mask, bool forward, double stepsPerS);
// GoTo the absolute position (steps), the driver takes the shortest path.
bool GoTo(std::uint8_t mask, std::int32_t position);
// Move at steps/s until the switch closes; then ABS_POS is reset, or copied
// to MARK when action is true.
bool GoUntil(std::uint8_t mask, bool action, bool forward, double stepsPerS);
// Move at minimum speed until the switch opens (action as for GoUntil).
bool ReleaseSw(std::uint8_t mask, bool action, bool forward);

bool SoftStop(std::uint8_t mask);   // decelerate, then hold
bool HardStop(std::uint8_t mask);   // stop at once, then hold
bool HardHiZ(std::uint8_t mask);    // stop at once, bridges high impedance

// The driver's GetStatus command: the status word, clearing its latched flags.
std::int32_t GetStatus(std::uint8_t mask);

#endif
