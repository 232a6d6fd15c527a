#include "Control.h"

#include <limits>

#include "L6470.h"
#include "qdxlink.h"

// The conversions rely on the x87 80-bit format: products rounded to a
// 64-bit significand give the driver words the panel has always sent
// (7812.5 steps/s -> FS_SPD 511, not 512).
static_assert(std::numeric_limits<long double>::digits == 64,
              "long double must be the 80-bit extended format");

namespace {

struct Conversion {
    double low;      // values not >= low (NaN, -inf) become low
    double high;     // values > high become high
    double factor;   // field units per engineering unit
    bool round;      // add 0.5 before truncation
    std::int32_t cap;
};

// factor: 2^40 x (250 ns)^2, 2^18 x 250 ns, 2^28 x 250 ns; power 256 / 100.
constexpr Conversion kAccel{14.55, 59590.0, 0.068719476736, true, 0xFFF};
constexpr Conversion kMaxSpeed{15.25, 15610.0, 0.065536, true, 0x3FF};
constexpr Conversion kFullStepSpeed{7.63, 15625.0, 0.065536, false, 0x3FF};
constexpr Conversion kPower{0.0, 99.6, 2.56, true, 0xFF};
constexpr Conversion kSpeed{0.0, 15625.0, 67.108864, true, 0xFFFFF};

constexpr double kVccFullScale = 29.64;  // volts at ADC_OUT = 31
constexpr long double kAdcSteps = 31.0L;

std::int32_t toField(double value, const Conversion &c)
{
    if (!(value >= c.low))
        value = c.low;
    if (value > c.high)
        value = c.high;
    long double y = static_cast<long double>(value) * static_cast<long double>(c.factor);
    if (c.round)
        y += 0.5L;
    // y lies in 0 .. 1048576.5 here, well inside int32_t.
    auto n = static_cast<std::int32_t>(y);
    return n > c.cap ? c.cap : n;
}

std::int32_t toPosition(std::int32_t p)
{
    if (p > l6470::kPosMax)
        p = l6470::kPosMax;
    if (p < l6470::kPosMin)
        p = l6470::kPosMin;
    return p & l6470::kPosMask;
}

std::int32_t fromPosition(std::int32_t raw)
{
    raw &= l6470::kPosMask;
    if (raw & l6470::kPosSign)
        raw = (raw & (l6470::kPosSign - 1)) - l6470::kPosSign;
    return raw;
}

std::int32_t read(std::uint8_t mask, std::int8_t bits, std::uint8_t command)
{
    std::int32_t value = 0;
    (void)QDX_Get(mask, bits, command, &value);
    return value;
}

bool setParam(std::uint8_t mask, std::int8_t bits, std::uint8_t reg, std::int32_t value)
{
    return QDX_Set(mask, bits, static_cast<std::uint8_t>(l6470::kSetParam | reg), value);
}

std::uint8_t withFlags(std::uint8_t base, bool action, bool forward)
{
    return static_cast<std::uint8_t>(base | (action ? l6470::kActBit : 0) |
                                     (forward ? l6470::kDirBit : 0));
}

}  // namespace

bool SetAbsPos(std::uint8_t mask, std::int32_t position)
{
    return setParam(mask, l6470::kBitsPosition, l6470::kAbsPos, toPosition(position));
}

std::int32_t GetAbsPos(std::uint8_t mask)
{
    return fromPosition(read(mask, l6470::kBitsPosition, l6470::kGetParam | l6470::kAbsPos));
}

bool SetAcc(std::uint8_t mask, double stepsPerS2)
{
    return setParam(mask, l6470::kBitsAccel, l6470::kAcc, toField(stepsPerS2, kAccel));
}

bool SetDec(std::uint8_t mask, double stepsPerS2)
{
    return setParam(mask, l6470::kBitsAccel, l6470::kDec, toField(stepsPerS2, kAccel));
}

bool SetMaxSpeed(std::uint8_t mask, double stepsPerS)
{
    return setParam(mask, l6470::kBitsSpeedLimit, l6470::kMaxSpeed, toField(stepsPerS, kMaxSpeed));
}

bool SetFullStepSpeed(std::uint8_t mask, double stepsPerS)
{
    return setParam(mask, l6470::kBitsSpeedLimit, l6470::kFsSpd,
                    toField(stepsPerS, kFullStepSpeed));
}

bool SetHoldPower(std::uint8_t mask, double percent)
{
    return setParam(mask, l6470::kBitsKval, l6470::kKvalHold, toField(percent, kPower));
}

bool SetRunPower(std::uint8_t mask, double percent)
{
    return setParam(mask, l6470::kBitsKval, l6470::kKvalRun, toField(percent, kPower));
}

bool SetAccPower(std::uint8_t mask, double percent)
{
    return setParam(mask, l6470::kBitsKval, l6470::kKvalAcc, toField(percent, kPower));
}

bool SetDecPower(std::uint8_t mask, double percent)
{
    return setParam(mask, l6470::kBitsKval, l6470::kKvalDec, toField(percent, kPower));
}

double GetVcc(std::uint8_t mask)
{
    const std::int32_t reading = read(mask, l6470::kBitsAdc, l6470::kGetParam | l6470::kAdcOut);
    const long double perStep = 1.0L / kAdcSteps;
    return static_cast<double>(static_cast<long double>(reading) *
                               static_cast<long double>(kVccFullScale) * perStep);
}

bool SetStepMode(std::uint8_t mask, std::int32_t mode)
{
    return setParam(mask, l6470::kBitsStepMode, l6470::kStepMode, mode);
}

bool SetConfig(std::uint8_t mask, std::int32_t word)
{
    return setParam(mask, l6470::kBitsConfig, l6470::kConfig, word);
}

std::int32_t GetStatusReg(std::uint8_t mask)
{
    return read(mask, l6470::kBitsStatus, l6470::kGetParam | l6470::kStatus);
}

bool Run(std::uint8_t mask, bool forward, double stepsPerS)
{
    return QDX_Set(mask, l6470::kBitsSpeed, withFlags(l6470::kRun, false, forward),
                   toField(stepsPerS, kSpeed));
}

bool GoTo(std::uint8_t mask, std::int32_t position)
{
    return QDX_Set(mask, l6470::kBitsPosition, l6470::kGoTo, toPosition(position));
}

bool GoUntil(std::uint8_t mask, bool action, bool forward, double stepsPerS)
{
    return QDX_Set(mask, l6470::kBitsSpeed, withFlags(l6470::kGoUntil, action, forward),
                   toField(stepsPerS, kSpeed));
}

bool ReleaseSw(std::uint8_t mask, bool action, bool forward)
{
    return QDX_Set(mask, l6470::kBitsNone, withFlags(l6470::kReleaseSw, action, forward), 0);
}

bool SoftStop(std::uint8_t mask)
{
    return QDX_Set(mask, l6470::kBitsNone, l6470::kSoftStop, 0);
}

bool HardStop(std::uint8_t mask)
{
    return QDX_Set(mask, l6470::kBitsNone, l6470::kHardStop, 0);
}

bool HardHiZ(std::uint8_t mask)
{
    return QDX_Set(mask, l6470::kBitsNone, l6470::kHardHiZ, 0);
}

std::int32_t GetStatus(std::uint8_t mask)
{
    return read(mask, l6470::kBitsStatus, l6470::kGetStatus);
}
