#include "Driver.h"

#include <algorithm>
#include <cmath>

#include "Wire.h"

namespace qdxsim {

using namespace l6470;

namespace {

enum class Access { None, ReadOnly, Always, Stopped, HiZ };

struct RegisterInfo {
    int bits;
    std::uint32_t reset;
    Access access;
};

// Field width, reset value and when the register may be written.
constexpr RegisterInfo kRegisters[0x20] = {
    {0, 0, Access::None},            // 0x00: SetParam(0) is NOP
    {22, 0, Access::Stopped},        // ABS_POS
    {9, 0, Access::Stopped},         // EL_POS
    {22, 0, Access::Always},         // MARK
    {20, 0, Access::ReadOnly},       // SPEED
    {12, 0x08A, Access::Stopped},    // ACC
    {12, 0x08A, Access::Stopped},    // DEC
    {10, 0x041, Access::Always},     // MAX_SPEED
    {13, 0, Access::Stopped},        // MIN_SPEED
    {8, 0x29, Access::Always},       // KVAL_HOLD
    {8, 0x29, Access::Always},       // KVAL_RUN
    {8, 0x29, Access::Always},       // KVAL_ACC
    {8, 0x29, Access::Always},       // KVAL_DEC
    {14, 0x0408, Access::HiZ},       // INT_SPEED
    {8, 0x19, Access::HiZ},          // ST_SLP
    {8, 0x29, Access::HiZ},          // FN_SLP_ACC
    {8, 0x29, Access::HiZ},          // FN_SLP_DEC
    {4, 0x0, Access::Always},        // K_THERM
    {5, 0, Access::ReadOnly},        // ADC_OUT
    {4, 0x8, Access::Always},        // OCD_TH
    {7, 0x40, Access::Always},       // STALL_TH
    {10, 0x027, Access::Always},     // FS_SPD
    {8, 0x07, Access::HiZ},          // STEP_MODE
    {8, 0xFF, Access::Stopped},      // ALARM_EN
    {16, 0x2E88, Access::HiZ},       // CONFIG
    {16, 0, Access::ReadOnly},       // STATUS
};

constexpr double kSubstep = 0.001;         // s; integration step
constexpr double kReleaseFloor = 5.0;      // steps/s: ReleaseSW never runs slower
constexpr double kCreep = 0.5;             // steps/s: lowest speed of a positioning end
constexpr std::uint32_t kLspdOpt = 1u << 12;
constexpr double kSwitchHysteresis = 4.0;  // ABS_POS units

std::uint32_t fieldMask(int bits) { return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1u; }

std::int64_t signExtend22(std::uint32_t v)
{
    v &= kPosMask;
    const auto s = static_cast<std::int64_t>(v);
    return (v & 0x200000u) ? s - 0x400000 : s;
}

}  // namespace

int Driver::registerBits(std::uint8_t reg)
{
    return reg < 0x20 ? kRegisters[reg].bits : 0;
}

int Driver::setCommandBits(std::uint8_t c)
{
    if (c == kNop)
        return 0;
    if (c < 0x20) {
        const RegisterInfo &r = kRegisters[c];
        return r.access == Access::None ? -1 : r.bits;
    }
    switch (c & ~kDirBit) {
    case kMove:
    case kGoToDir:
        return 22;
    case kRun:
        return 20;
    default:
        break;
    }
    switch (c & ~(kDirBit | kActBit)) {
    case kGoUntil:
        return 20;
    case kReleaseSw:
        return 0;
    default:
        break;
    }
    switch (c) {
    case kGoTo:
        return 22;
    case kGoHome:
    case kGoMark:
    case kResetPos:
    case kResetDevice:
    case kSoftStop:
    case kHardStop:
    case kSoftHiZ:
    case kHardHiZ:
        return 0;
    default:
        return -1;
    }
}

int Driver::getCommandBits(std::uint8_t c)
{
    if (c == kGetStatus)
        return 16;
    if ((c & ~kParamMask) == kGetParam) {
        const int bits = registerBits(c & kParamMask);
        return bits == 0 ? -1 : bits;
    }
    return -1;
}

Driver::Driver(double switchPosition) : switchPosition_(switchPosition)
{
    reset();
    setSwitchPosition(switchPosition);
}

void Driver::setSwitchPosition(double p)
{
    switchPosition_ = p;
    switchClosed_ = position_ >= p;
}

void Driver::reset()
{
    for (std::size_t i = 0; i < regs_.size(); ++i)
        regs_[i] = kRegisters[i].reset;
    offset_ = -static_cast<std::int64_t>(std::floor(position_));
    speed_ = 0.0;
    forward_ = false;
    hiZ_ = true;
    mode_ = Mode::Hold;
    hiZAfterStop_ = false;
    lastMot_ = kStopped;
    swEvn_ = notPerfCmd_ = wrongCmd_ = false;
    uvlo_ = true;
}

double Driver::maxSpeed() const { return regs_[kMaxSpeed] / kMaxSpeedPerStepS; }
double Driver::acc() const { return regs_[kAcc] / kAccPerStepS2; }
double Driver::dec() const { return regs_[kDec] / kAccPerStepS2; }
double Driver::minSpeed() const { return (regs_[kMinSpeed] & 0xFFF) / kMinSpeedPerStepS; }

std::int64_t Driver::absCounter() const
{
    return static_cast<std::int64_t>(std::floor(position_)) + offset_;
}

void Driver::setAbsCounter(std::int64_t value)
{
    offset_ = value - static_cast<std::int64_t>(std::floor(position_));
}

std::int32_t Driver::absPos() const
{
    return static_cast<std::int32_t>(signExtend22(static_cast<std::uint32_t>(absCounter())));
}

std::uint8_t Driver::motStatus() const
{
    switch (mode_) {
    case Mode::Hold:
        return kStopped;
    case Mode::SoftStop:
        return kDecelerating;
    case Mode::ReleaseSw:
        return kConstant;
    case Mode::GoTo:
        return speed_ == 0.0 ? kAccelerating : lastMot_;
    case Mode::Run:
    case Mode::GoUntil: {
        const double target = std::min(runSpeed_, maxSpeed());
        if (speed_ > 0.0 && forward_ != runForward_)
            return kDecelerating;
        if (speed_ < target)
            return kAccelerating;
        if (speed_ > target)
            return kDecelerating;
        return speed_ == 0.0 ? kStopped : kConstant;
    }
    }
    return kStopped;
}

bool Driver::busy() const
{
    switch (mode_) {
    case Mode::Hold:
        return false;
    case Mode::Run: {
        const std::uint8_t m = motStatus();
        return m == kAccelerating || m == kDecelerating;
    }
    default:
        return true;
    }
}

std::uint16_t Driver::status() const
{
    std::uint16_t s = kStThWrn | kStThSd | kStOcd | kStStepLossA | kStStepLossB;
    if (hiZ_)
        s |= kStHiZ;
    if (!busy())
        s |= kStBusy;
    if (switchClosed())
        s |= kStSwF;
    if (swEvn_)
        s |= kStSwEvn;
    if (forward_)
        s |= kStDir;
    s |= static_cast<std::uint16_t>(motStatus() << kStMotShift);
    if (notPerfCmd_)
        s |= kStNotPerfCmd;
    if (wrongCmd_)
        s |= kStWrongCmd;
    if (!uvlo_)
        s |= kStUvlo;
    return s;
}

std::uint16_t Driver::getStatus()
{
    const std::uint16_t s = status();
    swEvn_ = notPerfCmd_ = wrongCmd_ = uvlo_ = false;
    return s;
}

std::uint32_t Driver::param(std::uint8_t reg) const
{
    switch (reg) {
    case kAbsPos:
        return static_cast<std::uint32_t>(absCounter()) & kPosMask;
    case kSpeed:
        return static_cast<std::uint32_t>(std::lround(speed_ * kSpeedPerStepS)) & 0xFFFFF;
    case kAdcOut:
        return adcOut_;
    case kStatus:
        return status();
    default:
        return regs_[reg];
    }
}

Driver::Outcome Driver::refuse()
{
    notPerfCmd_ = true;
    return Outcome::Refused;
}

Driver::Outcome Driver::wrong()
{
    wrongCmd_ = true;
    return Outcome::Invalid;
}

Driver::Outcome Driver::setParam(std::uint8_t reg, std::uint32_t value)
{
    const RegisterInfo &r = kRegisters[reg];
    switch (r.access) {
    case Access::None:
    case Access::ReadOnly:
        return wrong();
    case Access::Stopped:
        if (!stopped())
            return refuse();
        break;
    case Access::HiZ:
        if (!hiZ_)
            return refuse();
        break;
    case Access::Always:
        break;
    }
    value &= fieldMask(r.bits);
    if (reg == kAbsPos)
        setAbsCounter(signExtend22(value));
    else
        regs_[reg] = value;
    return Outcome::Ok;
}

void Driver::hardStop(bool hiZ)
{
    speed_ = 0.0;
    mode_ = Mode::Hold;
    hiZ_ = hiZ;
}

void Driver::startGoTo(std::int64_t deltaSteps)
{
    target_ = std::floor(position_) + static_cast<double>(deltaSteps);
    mode_ = Mode::GoTo;
    hiZ_ = false;
    lastMot_ = kAccelerating;
}

Driver::Outcome Driver::execute(std::uint8_t c, std::uint32_t value)
{
    if (c == kNop)
        return Outcome::Ok;
    if (c < 0x20)
        return setParam(c, value);
    const bool dir = (c & kDirBit) != 0;
    const bool act = (c & kActBit) != 0;
    const std::int64_t here = absCounter();
    switch (c & ~kDirBit) {
    case kRun:
        mode_ = Mode::Run;
        runSpeed_ = (value & 0xFFFFF) / kSpeedPerStepS;
        runForward_ = dir;
        hiZ_ = false;
        if (speed_ == 0.0)
            forward_ = dir;
        return Outcome::Ok;
    case kMove: {
        if (!stopped())
            return refuse();
        const std::int64_t n = value & kPosMask;
        startGoTo(dir ? n : -n);
        return Outcome::Ok;
    }
    case kGoToDir: {
        if (busy())
            return refuse();
        const std::uint32_t target = value & kPosMask;
        const std::uint32_t ahead = (target - static_cast<std::uint32_t>(here)) & kPosMask;
        const std::uint32_t behind = (static_cast<std::uint32_t>(here) - target) & kPosMask;
        startGoTo(dir ? static_cast<std::int64_t>(ahead) : -static_cast<std::int64_t>(behind));
        return Outcome::Ok;
    }
    default:
        break;
    }
    switch (c & ~(kDirBit | kActBit)) {
    case kGoUntil:
        mode_ = Mode::GoUntil;
        runSpeed_ = (value & 0xFFFFF) / kSpeedPerStepS;
        runForward_ = dir;
        action_ = act;
        hiZ_ = false;
        if (speed_ == 0.0)
            forward_ = dir;
        return Outcome::Ok;
    case kReleaseSw:
        action_ = act;
        hiZ_ = false;
        forward_ = dir;
        if (!switchClosed()) {
            // Already open: the release has happened; act on it at once.
            if (act)
                regs_[kMark] = static_cast<std::uint32_t>(here) & kPosMask;
            else
                setAbsCounter(0);
            hardStop(false);
            return Outcome::Ok;
        }
        mode_ = Mode::ReleaseSw;
        speed_ = (regs_[kMinSpeed] & kLspdOpt) ? kReleaseFloor
                                                : std::max(minSpeed(), kReleaseFloor);
        return Outcome::Ok;
    default:
        break;
    }
    switch (c) {
    case kGoTo:
    case kGoHome:
    case kGoMark: {
        if (busy())
            return refuse();
        const std::uint32_t target =
            c == kGoTo ? (value & kPosMask) : c == kGoHome ? 0u : regs_[kMark];
        startGoTo(signExtend22(target - static_cast<std::uint32_t>(here)));
        return Outcome::Ok;
    }
    case kResetPos:
        setAbsCounter(0);
        return Outcome::Ok;
    case kResetDevice:
        reset();
        return Outcome::Ok;
    case kSoftStop:
    case kSoftHiZ:
        hiZAfterStop_ = c == kSoftHiZ;
        if (speed_ == 0.0)
            hardStop(hiZAfterStop_ || hiZ_);
        else
            mode_ = Mode::SoftStop;
        return Outcome::Ok;
    case kHardStop:
        hardStop(false);
        return Outcome::Ok;
    case kHardHiZ:
        hardStop(true);
        return Outcome::Ok;
    default:
        return wrong();
    }
}

Driver::Outcome Driver::read(std::uint8_t c, std::uint32_t &value)
{
    value = 0;
    if (c == kGetStatus) {
        value = getStatus();
        return Outcome::Ok;
    }
    if ((c & ~kParamMask) == kGetParam && registerBits(c & kParamMask) != 0) {
        value = param(c & kParamMask);
        return Outcome::Ok;
    }
    return wrong();
}

void Driver::advance(double dt)
{
    while (dt > 0.0) {
        const double h = std::min(dt, kSubstep);
        step(h);
        dt -= h;
    }
}

// Ramps the speed toward target in direction wantForward, reversing through
// zero when the motor runs the other way. v1 receives the signed end speed.
void Driver::stepToward(double target, bool wantForward, double h, double &v1)
{
    if (speed_ > 0.0 && forward_ != wantForward) {
        speed_ = std::max(0.0, speed_ - dec() * h);
        lastMot_ = kDecelerating;
        if (speed_ == 0.0)
            forward_ = wantForward;
    } else {
        forward_ = wantForward;
        if (speed_ < target) {
            speed_ = std::min(target, speed_ + acc() * h);
            lastMot_ = kAccelerating;
        } else if (speed_ > target) {
            speed_ = std::max(target, speed_ - dec() * h);
            lastMot_ = kDecelerating;
        } else {
            lastMot_ = speed_ == 0.0 ? kStopped : kConstant;
        }
    }
    v1 = forward_ ? speed_ : -speed_;
}

void Driver::step(double h)
{
    const double v0 = forward_ ? speed_ : -speed_;
    double v1 = 0.0;
    switch (mode_) {
    case Mode::Hold:
        return;
    case Mode::Run:
    case Mode::GoUntil:
        stepToward(std::min(runSpeed_, maxSpeed()), runForward_, h, v1);
        break;
    case Mode::ReleaseSw:
        v1 = v0;
        break;
    case Mode::SoftStop:
        speed_ = std::max(0.0, speed_ - dec() * h);
        v1 = forward_ ? speed_ : -speed_;
        break;
    case Mode::GoTo: {
        const double rem = target_ - position_;
        const bool wantForward = rem > 0.0;
        const double d = std::fabs(rem);
        if (d == 0.0) {
            hardStop(false);
            return;
        }
        if (speed_ > 0.0 && forward_ != wantForward) {
            stepToward(0.0, forward_, h, v1);
            if (speed_ == 0.0)
                forward_ = wantForward;
            break;
        }
        forward_ = wantForward;
        const double braking = speed_ * speed_ / (2.0 * dec());
        if (speed_ > 0.0 && d <= braking + speed_ * h) {
            // Decelerate so as to reach zero speed at the target.
            const double a = speed_ * speed_ / (2.0 * d);
            speed_ = std::max(kCreep, speed_ - a * h);
            lastMot_ = kDecelerating;
        } else {
            double unused = 0.0;
            stepToward(maxSpeed(), wantForward, h, unused);
        }
        v1 = forward_ ? speed_ : -speed_;
        if ((std::fabs(v0) + speed_) * 0.5 * h >= d) {
            position_ = target_;
            hardStop(false);
            switchEvents();
            return;
        }
        break;
    }
    }
    position_ += (v0 + v1) * 0.5 * h;
    if (mode_ == Mode::SoftStop && speed_ == 0.0)
        hardStop(hiZAfterStop_);
    switchEvents();
}

void Driver::switchEvents()
{
    if (!switchClosed_ && position_ >= switchPosition_) {
        switchClosed_ = true;
        swEvn_ = true;
        const bool hard = (regs_[kConfig] & kConfigSwMode) == 0;
        if (hard)
            position_ = switchPosition_;
        if (mode_ == Mode::GoUntil) {
            // ABS_POS as it was at the switch edge.
            const double keep = position_;
            position_ = switchPosition_;
            if (action_)
                regs_[kMark] = static_cast<std::uint32_t>(absCounter()) & kPosMask;
            else
                setAbsCounter(0);
            position_ = keep;
            if (!hard) {
                mode_ = Mode::SoftStop;
                hiZAfterStop_ = false;
            }
        }
        if (hard)
            hardStop(false);
    } else if (switchClosed_ && position_ < switchPosition_ - kSwitchHysteresis) {
        switchClosed_ = false;
        if (mode_ != Mode::ReleaseSw)
            return;
        if (action_)
            regs_[kMark] = static_cast<std::uint32_t>(absCounter()) & kPosMask;
        else
            setAbsCounter(0);
        hardStop(false);
    }
}

}  // namespace qdxsim
