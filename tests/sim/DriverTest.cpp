#include <gtest/gtest.h>

#include <cmath>

#include "Driver.h"

namespace {

using qdxsim::Driver;
using Outcome = Driver::Outcome;

// Register words for physical units.
std::uint32_t speedWord(double stepsPerS) { return static_cast<std::uint32_t>(std::lround(stepsPerS * 67.108864)); }
// The speed a Run word stands for: within 0.0075 steps/s of the one asked for.
constexpr double kWordStep = 1 / 67.108864;
std::uint32_t maxSpeedWord(double stepsPerS) { return static_cast<std::uint32_t>(std::lround(stepsPerS * 0.065536)); }
std::uint32_t accWord(double stepsPerS2) { return static_cast<std::uint32_t>(std::lround(stepsPerS2 * 0.068719476736)); }

constexpr std::uint16_t kHiZ = 1, kBusy = 2, kSwF = 4, kSwEvn = 8, kDir = 16, kUvlo = 0x200;
int motStatus(std::uint16_t s) { return (s >> 5) & 3; }

// A channel out of reset with a 1000 steps/s speed limit, 1000 steps/s^2
// ramps and the home switch far away unless a test moves it.
class DriverTest : public ::testing::Test {
protected:
    Driver d{1e9};
    void SetUp() override
    {
        ASSERT_EQ(d.execute(0x07, maxSpeedWord(1000)), Outcome::Ok);
        ASSERT_EQ(d.execute(0x05, accWord(1000)), Outcome::Ok);
        ASSERT_EQ(d.execute(0x06, accWord(1000)), Outcome::Ok);
    }
    double maxSpeed() const { return maxSpeedWord(1000) / 0.065536; }
    double ramp() const { return accWord(1000) / 0.068719476736; }
};

TEST_F(DriverTest, PowerUpStateIsHiZNotBusyWithUvloLatched)
{
    const std::uint16_t s = d.status();
    EXPECT_EQ(s & kHiZ, kHiZ);
    EXPECT_EQ(s & kBusy, kBusy);  // active low: not busy
    EXPECT_EQ(s & kUvlo, 0);      // active low: latched
    EXPECT_EQ(motStatus(s), 0);
    EXPECT_EQ(d.getStatus() & kUvlo, 0);
    EXPECT_EQ(d.getStatus() & kUvlo, kUvlo);  // cleared by the first GetStatus
}

TEST_F(DriverTest, RunRampsUpHoldsSpeedAndRampsDownOnSoftStop)
{
    ASSERT_EQ(d.execute(0x51, speedWord(500)), Outcome::Ok);
    EXPECT_EQ(d.status() & kHiZ, 0);
    d.advance(0.25);
    EXPECT_NEAR(d.speed(), 250.0 * ramp() / 1000, 1.0);
    EXPECT_EQ(motStatus(d.status()), 1);     // accelerating
    EXPECT_EQ(d.status() & kBusy, 0);        // busy until the speed is reached
    EXPECT_EQ(d.status() & kDir, kDir);
    d.advance(0.5);
    EXPECT_NEAR(d.speed(), 500.0, kWordStep);
    EXPECT_EQ(motStatus(d.status()), 3);     // constant speed
    EXPECT_EQ(d.status() & kBusy, kBusy);    // not busy at speed
    const double p0 = d.position();
    d.advance(1.0);
    EXPECT_NEAR(d.position() - p0, d.speed(), 1e-6);

    ASSERT_EQ(d.execute(0xB0, 0), Outcome::Ok);
    EXPECT_EQ(motStatus(d.status()), 2);
    EXPECT_EQ(d.status() & kBusy, 0);
    const double p1 = d.position();
    d.advance(1.0);
    EXPECT_EQ(d.speed(), 0.0);
    EXPECT_EQ(motStatus(d.status()), 0);
    EXPECT_EQ(d.status() & (kBusy | kHiZ), kBusy);  // holding, not busy
    // Stopping distance v^2 / 2a.
    EXPECT_NEAR(d.position() - p1, 500.0 * 500.0 / (2 * ramp()), 0.5);
}

TEST_F(DriverTest, RunSpeedIsLimitedByMaxSpeedAndReversesThroughZero)
{
    ASSERT_EQ(d.execute(0x50, speedWord(5000)), Outcome::Ok);
    d.advance(2.0);
    EXPECT_NEAR(d.speed(), maxSpeed(), 1e-9);
    EXPECT_FALSE(d.forward());
    EXPECT_LT(d.absPos(), 0);
    ASSERT_EQ(d.execute(0x51, speedWord(200)), Outcome::Ok);
    EXPECT_EQ(motStatus(d.status()), 2);  // first decelerates
    d.advance(maxSpeed() / ramp() + 0.1);
    EXPECT_TRUE(d.forward());
    d.advance(0.5);
    EXPECT_NEAR(d.speed(), 200.0, kWordStep);
}

TEST_F(DriverTest, LiveSpeedChangeRampsToTheNewSpeed)
{
    ASSERT_EQ(d.execute(0x51, speedWord(800)), Outcome::Ok);
    d.advance(2.0);
    ASSERT_EQ(d.execute(0x51, speedWord(300)), Outcome::Ok);
    EXPECT_EQ(motStatus(d.status()), 2);
    d.advance(1.0);
    EXPECT_NEAR(d.speed(), 300.0, kWordStep);
    EXPECT_TRUE(d.forward());
}

struct GoToCase {
    std::int32_t start;
    std::int32_t target;
};

class GoToTest : public DriverTest, public ::testing::WithParamInterface<GoToCase> {};

TEST_P(GoToTest, TrapezoidReachesTheExactTarget)
{
    const GoToCase c = GetParam();
    ASSERT_EQ(d.execute(0x01, static_cast<std::uint32_t>(c.start) & 0x3FFFFF), Outcome::Ok);
    ASSERT_EQ(d.execute(0x60, static_cast<std::uint32_t>(c.target) & 0x3FFFFF), Outcome::Ok);
    EXPECT_EQ(d.status() & kBusy, 0);
    double peak = 0;
    for (int i = 0; i < 400 && d.busy(); ++i) {
        d.advance(0.05);
        peak = std::max(peak, d.speed());
    }
    EXPECT_FALSE(d.busy());
    EXPECT_EQ(d.absPos(), c.target);
    EXPECT_EQ(d.speed(), 0.0);
    EXPECT_LE(peak, maxSpeed() + 1e-9);
    EXPECT_EQ(d.status() & (kBusy | kHiZ), kBusy);
}

INSTANTIATE_TEST_SUITE_P(Targets, GoToTest,
                         ::testing::Values(GoToCase{0, 3000},        // reaches max speed
                                           GoToCase{0, 100},         // triangle
                                           GoToCase{0, 1},           // one step
                                           GoToCase{500, -2500},     // reverse
                                           GoToCase{0, 0},           // already there
                                           GoToCase{2097000, -2097000}));  // shortest way: across the wrap

TEST_F(DriverTest, GoToWhileMovingTheOtherWayTurnsAround)
{
    ASSERT_EQ(d.execute(0x50, speedWord(1000)), Outcome::Ok);
    d.advance(2.0);  // at speed, not busy
    ASSERT_EQ(d.execute(0x60, 0), Outcome::Ok);
    d.advance(20.0);
    EXPECT_EQ(d.absPos(), 0);
    EXPECT_FALSE(d.busy());
}

TEST_F(DriverTest, AbsPosWrapsAsA22BitCounter)
{
    ASSERT_EQ(d.execute(0x01, 0x1FFFF0), Outcome::Ok);
    EXPECT_EQ(d.absPos(), 2097136);
    ASSERT_EQ(d.execute(0x51, speedWord(100)), Outcome::Ok);
    d.advance(3.0);
    // About 295 steps past 2097151: counted on from -2097152.
    EXPECT_GE(d.absPos(), -2097152);
    EXPECT_LT(d.absPos(), -2096800);
    std::uint32_t raw = 0;
    ASSERT_EQ(d.read(0x21, raw), Outcome::Ok);
    EXPECT_GE(raw, 0x200000u);
    EXPECT_LE(raw, 0x3FFFFFu);
}

TEST_F(DriverTest, HardStopHoldsAndHardHiZReleases)
{
    ASSERT_EQ(d.execute(0x51, speedWord(800)), Outcome::Ok);
    d.advance(1.0);
    ASSERT_EQ(d.execute(0xB8, 0), Outcome::Ok);
    EXPECT_EQ(d.speed(), 0.0);
    EXPECT_EQ(d.status() & (kBusy | kHiZ), kBusy);
    ASSERT_EQ(d.execute(0x51, speedWord(800)), Outcome::Ok);
    d.advance(1.0);
    ASSERT_EQ(d.execute(0xA8, 0), Outcome::Ok);
    EXPECT_EQ(d.speed(), 0.0);
    EXPECT_EQ(d.status() & (kBusy | kHiZ), kBusy | kHiZ);
    const double p = d.position();
    d.advance(1.0);
    EXPECT_EQ(d.position(), p);
}

TEST_F(DriverTest, WriteAccessFollowsTheRegisterTable)
{
    struct {
        std::uint8_t reg;
        std::uint32_t value;
        Outcome inHiZ, holding, moving;
    } const cases[] = {
        {0x01, 5, Outcome::Ok, Outcome::Ok, Outcome::Refused},          // ABS_POS: stopped
        {0x03, 5, Outcome::Ok, Outcome::Ok, Outcome::Ok},               // MARK: always
        {0x05, 0x45, Outcome::Ok, Outcome::Ok, Outcome::Refused},       // ACC: stopped
        {0x06, 0x45, Outcome::Ok, Outcome::Ok, Outcome::Refused},       // DEC: stopped
        {0x07, 0x41, Outcome::Ok, Outcome::Ok, Outcome::Ok},            // MAX_SPEED: always
        {0x09, 0x20, Outcome::Ok, Outcome::Ok, Outcome::Ok},            // KVAL_HOLD: always
        {0x15, 0x27, Outcome::Ok, Outcome::Ok, Outcome::Ok},            // FS_SPD: always
        {0x16, 0x07, Outcome::Ok, Outcome::Refused, Outcome::Refused},  // STEP_MODE: HiZ
        {0x18, 0x2E88, Outcome::Ok, Outcome::Refused, Outcome::Refused},  // CONFIG: HiZ
        {0x04, 0, Outcome::Invalid, Outcome::Invalid, Outcome::Invalid},  // SPEED: read only
        {0x12, 0, Outcome::Invalid, Outcome::Invalid, Outcome::Invalid},  // ADC_OUT
        {0x19, 0, Outcome::Invalid, Outcome::Invalid, Outcome::Invalid},  // STATUS
    };
    for (const auto &c : cases) {
        Driver x{1e9};
        EXPECT_EQ(x.execute(c.reg, c.value), c.inHiZ) << "HiZ, register " << int(c.reg);
        x.execute(0xB8, 0);
        EXPECT_EQ(x.execute(c.reg, c.value), c.holding) << "holding, register " << int(c.reg);
        x.execute(0x51, speedWord(500));
        x.advance(0.1);
        EXPECT_EQ(x.execute(c.reg, c.value), c.moving) << "moving, register " << int(c.reg);
    }
}

class SwitchTest : public DriverTest {
protected:
    void SetUp() override
    {
        DriverTest::SetUp();
        d.setSwitchPosition(400);
    }
};

TEST_F(SwitchTest, GoUntilStopsAtTheSwitchAndResetsAbsPos)
{
    ASSERT_EQ(d.execute(0x01, 12345), Outcome::Ok);
    ASSERT_EQ(d.execute(0x83, speedWord(50)), Outcome::Ok);
    EXPECT_TRUE(d.busy());
    d.advance(20.0);
    EXPECT_FALSE(d.busy());
    EXPECT_EQ(d.speed(), 0.0);
    EXPECT_EQ(d.absPos(), 0);
    EXPECT_EQ(d.position(), 400.0);
    const std::uint16_t s = d.getStatus();
    EXPECT_EQ(s & (kSwF | kSwEvn), kSwF | kSwEvn);
    EXPECT_EQ(d.getStatus() & (kSwF | kSwEvn), kSwF);  // SW_EVN latched, cleared
    std::uint32_t raw = 1;
    ASSERT_EQ(d.read(0x39, raw), Outcome::Ok);
    EXPECT_EQ(raw & kSwF, kSwF);
}

TEST_F(SwitchTest, GoUntilWithActionCopiesAbsPosToMark)
{
    ASSERT_EQ(d.execute(0x01, 100), Outcome::Ok);
    ASSERT_EQ(d.execute(0x8B, speedWord(200)), Outcome::Ok);
    d.advance(10.0);
    EXPECT_EQ(d.absPos(), 500);  // 100 + 400 steps travelled, not reset
    std::uint32_t mark = 0;
    ASSERT_EQ(d.read(0x23, mark), Outcome::Ok);
    EXPECT_EQ(mark, 500u);
}

TEST_F(SwitchTest, UserSwitchModeSoftStopsPastTheSwitch)
{
    ASSERT_EQ(d.execute(0x18, 0x2E88 | 0x10), Outcome::Ok);  // SW_MODE = 1, in HiZ
    ASSERT_EQ(d.execute(0x83, speedWord(500)), Outcome::Ok);
    d.advance(10.0);
    EXPECT_FALSE(d.busy());
    // Reset at the switch, then the deceleration distance v^2 / 2a beyond it.
    EXPECT_NEAR(d.absPos(), 500.0 * 500.0 / (2 * ramp()), 1.5);
}

TEST_F(SwitchTest, RunIntoTheSwitchHardStopsWithoutTouchingAbsPos)
{
    ASSERT_EQ(d.execute(0x51, speedWord(500)), Outcome::Ok);
    d.advance(5.0);
    EXPECT_EQ(d.speed(), 0.0);
    EXPECT_EQ(d.absPos(), 400);
    EXPECT_TRUE(d.switchClosed());
}

TEST_F(SwitchTest, ReleaseSwBacksOffAtMinimumSpeedUntilTheSwitchOpens)
{
    ASSERT_EQ(d.execute(0x83, speedWord(200)), Outcome::Ok);
    d.advance(5.0);
    ASSERT_TRUE(d.switchClosed());
    ASSERT_EQ(d.execute(0x08, 0), Outcome::Ok);  // MIN_SPEED 0: 5 steps/s
    ASSERT_EQ(d.execute(0x92, 0), Outcome::Ok);
    EXPECT_TRUE(d.busy());
    EXPECT_NEAR(d.speed(), 5.0, 1e-9);
    EXPECT_FALSE(d.forward());
    // The switch opens 4 steps below where it closed: 0.8 s at 5 steps/s.
    d.advance(0.7);
    EXPECT_TRUE(d.busy());
    EXPECT_TRUE(d.switchClosed());
    d.advance(0.2);
    EXPECT_FALSE(d.busy());
    EXPECT_FALSE(d.switchClosed());
    EXPECT_EQ(d.absPos(), 0);  // reset where it opened
    EXPECT_EQ(d.speed(), 0.0);
}

TEST_F(SwitchTest, ReleaseSwAtHigherMinimumSpeedWithMark)
{
    ASSERT_EQ(d.execute(0x83, speedWord(200)), Outcome::Ok);
    d.advance(5.0);
    ASSERT_EQ(d.execute(0x08, static_cast<std::uint32_t>(std::lround(40 * 4.194304))), Outcome::Ok);
    ASSERT_EQ(d.execute(0x9A, 0), Outcome::Ok);
    EXPECT_NEAR(d.speed(), 40.0, 0.2);
    d.advance(1.0);
    EXPECT_FALSE(d.busy());
    std::uint32_t mark = 0;
    ASSERT_EQ(d.read(0x23, mark), Outcome::Ok);
    EXPECT_EQ(mark, 0x3FFFFBu);  // -5: the first position with the switch open
    EXPECT_EQ(d.absPos(), -5);   // ABS_POS itself kept counting
}

TEST(DriverCommands, FieldWidthsOfSetAndGetCommands)
{
    struct {
        std::uint8_t cmd;
        int set, get;
    } const cases[] = {
        {0x01, 22, -1}, {0x21, -1, 22}, {0x05, 12, -1}, {0x25, -1, 12}, {0x07, 10, -1},
        {0x09, 8, -1},  {0x32, -1, 5},  {0x12, 5, -1},  {0x16, 8, -1},  {0x18, 16, -1},
        {0x39, -1, 16}, {0x50, 20, -1}, {0x51, 20, -1}, {0x60, 22, -1}, {0x82, 20, -1},
        {0x8B, 20, -1}, {0x92, 0, -1},  {0x9B, 0, -1},  {0xA8, 0, -1},  {0xB0, 0, -1},
        {0xB8, 0, -1},  {0xD0, -1, 16}, {0x00, 0, -1},  {0x20, -1, -1}, {0x1C, -1, -1},
        {0xF0, -1, -1}, {0x3C, -1, -1},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Driver::setCommandBits(c.cmd), c.set) << std::hex << int(c.cmd);
        EXPECT_EQ(Driver::getCommandBits(c.cmd), c.get) << std::hex << int(c.cmd);
    }
}

}  // namespace
