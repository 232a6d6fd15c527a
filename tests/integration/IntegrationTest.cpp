#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "Control.h"
#include "SimProcess.h"
#include "qdxlink.h"

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

constexpr std::int32_t kHiZ = 0x01, kBusy = 0x02, kSwF = 0x04;

std::string lastError()
{
    const char *text = nullptr;
    QDX_GetLastError(&text);
    return text ? text : "";
}

// Before the simulated controller in the device list: a pseudo-terminal
// that never answers and a controller with another identity. Real FTDI
// devices of the machine are kept out through an empty sysfs root.
class IntegrationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        sysfs_ = std::filesystem::temp_directory_path() / ("qdx-empty-sysfs-" + std::to_string(getpid()));
        std::filesystem::create_directories(sysfs_);
        setenv("FTD2XX_SYSFS_ROOT", sysfs_.c_str(), 1);
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(sysfs_); }

    void SetUp() override
    {
        ASSERT_FALSE(silent_.path().empty());
        ASSERT_TRUE(other_.start({"--identity", "Acme stepper 2.0", "--serial", "ACME0001"}));
        startSim();
    }
    void TearDown() override { QDX_CloseDevice(); }

    void startSim()
    {
        ASSERT_TRUE(sim_.start({"--serial", "QDXTEST7", "--vcc", "24", "--switch", "1:300"}));
        useDevices(silent_.path() + ":" + other_.entry() + ":" + sim_.entry());
    }
    static void useDevices(const std::string &list) { setenv("FTD2XX_DEVICES", list.c_str(), 1); }

    void open()
    {
        ASSERT_TRUE(QDX_OpenDevice()) << lastError();
        // Known speeds and ramps on all channels (written while stopped).
        SetMaxSpeed(7, 15000);
        SetAcc(7, 20000);
        SetDec(7, 20000);
    }

    // Polls the status register until BUSY is released (bit set); false after 20 s.
    static bool waitNotBusy(std::uint8_t mask)
    {
        const auto end = SteadyClock::now() + 20s;
        while (SteadyClock::now() < end) {
            if (GetStatusReg(mask) & kBusy)
                return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }

    static inline std::filesystem::path sysfs_;
    SilentPty silent_;
    SimProcess other_;
    SimProcess sim_;
};

TEST_F(IntegrationTest, OpenFindsTheControllerBehindNonMatchingDevices)
{
    ASSERT_TRUE(QDX_OpenDevice()) << lastError();
    const char *id = nullptr;
    ASSERT_TRUE(QDX_GetInfo(&id)) << lastError();
    EXPECT_EQ(std::string(id).rfind("Quodrix ", 0), 0u) << id;
    EXPECT_EQ(lastError(), "");
}

TEST_F(IntegrationTest, OpenFailsWithOnlyNonMatchingDevices)
{
    useDevices(silent_.path() + ":" + other_.entry());
    EXPECT_FALSE(QDX_OpenDevice());
    EXPECT_EQ(lastError(), "");  // the last device asked answered, with another identity
    useDevices(other_.entry() + ":" + silent_.path());
    EXPECT_FALSE(QDX_OpenDevice());
    EXPECT_EQ(lastError(), "IO error: device not responding.");
}

TEST_F(IntegrationTest, SerialNumberArrives)
{
    open();
    const char *sn = nullptr;
    ASSERT_TRUE(QDX_GetSN(&sn));
    EXPECT_STREQ(sn, "QDXTEST7");
}

TEST_F(IntegrationTest, SetAndGetRoundTripThroughTheCommandLayer)
{
    open();
    EXPECT_TRUE(SetAbsPos(2, -1234));
    EXPECT_EQ(GetAbsPos(2), -1234);
    EXPECT_EQ(GetAbsPos(1), 0);
    EXPECT_TRUE(SetAbsPos(4, 2097151));
    EXPECT_EQ(GetAbsPos(4), 2097151);
    std::int32_t word = 0;
    EXPECT_TRUE(QDX_Get(1, 10, 0x27, &word));  // MAX_SPEED
    EXPECT_EQ(word, 983);
    EXPECT_TRUE(QDX_Get(1, 12, 0x25, &word));  // ACC
    EXPECT_EQ(word, 1374);
    EXPECT_TRUE(SetRunPower(7, 25));
    EXPECT_TRUE(QDX_Get(4, 8, 0x2A, &word));   // KVAL_RUN
    EXPECT_EQ(word, 64);
    EXPECT_NEAR(GetVcc(1), 24.0, 29.64 / 31);
    // Still in HiZ from power-up; not busy.
    EXPECT_EQ(GetStatusReg(1) & (kHiZ | kBusy), kHiZ | kBusy);
}

TEST_F(IntegrationTest, RefusedCommandReportsTheStatusText)
{
    open();
    EXPECT_TRUE(HardStop(1));
    EXPECT_FALSE(SetStepMode(1, 3));  // STEP_MODE is written only in HiZ
    EXPECT_EQ(lastError(), "Set data error: device busy.");
    EXPECT_TRUE(HardHiZ(1));
    EXPECT_TRUE(SetStepMode(1, 3));
    EXPECT_EQ(lastError(), "");
}

TEST_F(IntegrationTest, RunMovesAtAboutTheCommandedRate)
{
    open();
    // Reverse, away from the switch; the ramp takes 50 ms.
    ASSERT_TRUE(::Run(1, false, 1000));
    std::this_thread::sleep_for(200ms);
    const auto t1 = SteadyClock::now();
    const std::int32_t p1 = GetAbsPos(1);
    std::this_thread::sleep_for(1s);
    const auto t2 = SteadyClock::now();
    const std::int32_t p2 = GetAbsPos(1);
    const double rate = (p1 - p2) / std::chrono::duration<double>(t2 - t1).count();
    EXPECT_GT(rate, 600.0);
    EXPECT_LT(rate, 1400.0);
    EXPECT_TRUE(HardStop(1));
}

TEST_F(IntegrationTest, GoToReachesItsTarget)
{
    open();
    ASSERT_TRUE(GoTo(2, -3000));
    EXPECT_EQ(GetStatusReg(2) & kBusy, 0);  // busy while positioning
    ASSERT_TRUE(waitNotBusy(2));
    EXPECT_EQ(GetAbsPos(2), -3000);
    EXPECT_EQ(GetAbsPos(1), 0);
}

TEST_F(IntegrationTest, GoUntilStopsAtTheSwitchAndZeroesThePosition)
{
    open();
    ASSERT_TRUE(SetAbsPos(1, 5000));
    ASSERT_TRUE(GoUntil(1, false, true, 1000));
    ASSERT_TRUE(waitNotBusy(1));
    EXPECT_EQ(GetAbsPos(1), 0);
    EXPECT_EQ(GetStatusReg(1) & kSwF, kSwF);
    std::uint8_t limits = 0;
    EXPECT_TRUE(QDX_Lim(&limits));
    EXPECT_EQ(limits, 0x01);
    // Homing's other branch: back off the closed switch.
    ASSERT_TRUE(ReleaseSw(1, false, false));
    ASSERT_TRUE(waitNotBusy(1));
    EXPECT_EQ(GetStatusReg(1) & kSwF, 0);
    EXPECT_EQ(GetAbsPos(1), 0);
    EXPECT_TRUE(QDX_Lim(&limits));
    EXPECT_EQ(limits, 0x00);
}

TEST_F(IntegrationTest, StopsLeaveBusyClear)
{
    open();
    ASSERT_TRUE(::Run(7, false, 2000));
    EXPECT_EQ(GetStatusReg(1) & kBusy, 0);  // accelerating
    ASSERT_TRUE(SoftStop(1));
    ASSERT_TRUE(HardStop(2));
    ASSERT_TRUE(waitNotBusy(1));
    EXPECT_EQ(GetStatusReg(1) & (kHiZ | kBusy), kBusy);
    EXPECT_EQ(GetStatusReg(2) & (kHiZ | kBusy), kBusy);
    const std::int32_t p = GetAbsPos(1);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(GetAbsPos(1), p);
    EXPECT_TRUE(HardStop(4));
}

TEST_F(IntegrationTest, HardHiZSetsHiZ)
{
    open();
    ASSERT_TRUE(::Run(4, false, 1000));
    ASSERT_TRUE(HardHiZ(4));
    EXPECT_EQ(GetStatusReg(4) & (kHiZ | kBusy), kHiZ | kBusy);
}

TEST_F(IntegrationTest, GetStatusClearsLatchedFlags)
{
    open();
    // UVLO is latched from power-up (active low) and released by GetStatus.
    EXPECT_EQ(GetStatus(1) & 0x200, 0);
    EXPECT_EQ(GetStatus(1) & 0x200, 0x200);
    EXPECT_EQ(GetStatusReg(2) & 0x200, 0);
}

TEST_F(IntegrationTest, KilledSimulatorFailsTheNextExchangeAndRestartRecovers)
{
    open();
    sim_.kill();
    const auto t0 = SteadyClock::now();
    std::int32_t value = 0;
    EXPECT_FALSE(QDX_Get(1, 22, 0x21, &value));
    EXPECT_EQ(lastError(), "IO error: device not responding.");
    EXPECT_LT(SteadyClock::now() - t0, 10s);  // bounded by the time-outs, not a hang
    EXPECT_FALSE(QDX_Set(1, 0, 0xB8, 0));
    EXPECT_EQ(lastError(), "IO error: device not responding.");

    startSim();
    ASSERT_TRUE(QDX_OpenDevice()) << lastError();
    EXPECT_TRUE(QDX_Get(1, 22, 0x21, &value)) << lastError();
    EXPECT_EQ(value, 0);
}

TEST_F(IntegrationTest, ASecondProcessCannotOpenTheHeldController)
{
    ASSERT_EQ(runWithDevices(QDX_OPEN_PROBE_PATH, sim_.entry()), 0);  // free: it opens
    open();
    EXPECT_EQ(runWithDevices(QDX_OPEN_PROBE_PATH, sim_.entry()), 1);
    // Our session is undisturbed.
    EXPECT_TRUE(SetAbsPos(1, 77));
    EXPECT_EQ(GetAbsPos(1), 77);
    ASSERT_TRUE(QDX_CloseDevice());
    EXPECT_EQ(runWithDevices(QDX_OPEN_PROBE_PATH, sim_.entry()), 0);
}

TEST_F(IntegrationTest, SimulatorEndsCleanlyOnSigterm)
{
    open();
    EXPECT_TRUE(QDX_CloseDevice());
    const int status = sim_.stop();
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
