#include <cstring>

#include "LineFixture.h"

using fake::Call;

namespace {

class FtdioTest : public FakeLibraryTest {};

TEST_F(FtdioTest, CountsDevices)
{
    fake::AddDevice();
    fake::AddDevice();
    uint32_t count = 99;
    ASSERT_TRUE(Ftdio_CountDevices(count));
    EXPECT_EQ(count, 2u);

    fake::SetListStatus(FT_IO_ERROR);
    EXPECT_FALSE(Ftdio_CountDevices(count));
    EXPECT_EQ(Ftdio_Status, FT_IO_ERROR);
}

TEST_F(FtdioTest, OpenHandsOutTheHandleAndFailureGivesZero)
{
    fake::Device &d = fake::AddDevice();
    FT_HANDLE h = nullptr;
    ASSERT_TRUE(Ftdio_Open(0, h));
    EXPECT_NE(h, nullptr);
    EXPECT_EQ(h, Ftdio_Handle);
    EXPECT_EQ(h, d.handle);
    ASSERT_TRUE(Ftdio_Close(h));

    d.openStatus = FT_DEVICE_NOT_OPENED;
    h = reinterpret_cast<FT_HANDLE>(0x1234);
    EXPECT_FALSE(Ftdio_Open(0, h));
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(Ftdio_Handle, nullptr);
    EXPECT_EQ(Ftdio_Status, FT_DEVICE_NOT_OPENED);

    EXPECT_FALSE(Ftdio_Open(5, h));
    EXPECT_EQ(Ftdio_Status, FT_DEVICE_NOT_FOUND);
}

TEST_F(FtdioTest, CloseClearsTheHandleWhateverTheResult)
{
    fake::Device &d = fake::AddDevice();
    d.closeStatus = FT_IO_ERROR;
    FT_HANDLE h = nullptr;
    ASSERT_TRUE(Ftdio_Open(0, h));
    EXPECT_FALSE(Ftdio_Close(h));
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(Ftdio_Handle, nullptr);

    // A second close reaches no D2XX call.
    const size_t calls = d.calls.size();
    EXPECT_FALSE(Ftdio_Close(h));
    EXPECT_EQ(d.calls.size(), calls);
}

TEST_F(FtdioTest, SetupLineMakesTheFiveSettingsInOrder)
{
    fake::Device &d = fake::AddDevice();
    FT_HANDLE h = nullptr;
    ASSERT_TRUE(Ftdio_Open(0, h));
    d.rx.push_back({false, 0x42});
    ASSERT_TRUE(Ftdio_SetupLine(115200));
    EXPECT_EQ(d.calls, (std::vector<Call>{Call::Open, Call::SetLatencyTimer, Call::SetBaudRate,
                                          Call::SetDataCharacteristics, Call::SetTimeouts,
                                          Call::Purge}));
    EXPECT_EQ(d.latency, 2);
    EXPECT_EQ(d.baud, 115200u);
    EXPECT_EQ(d.wordLength, 8);
    EXPECT_EQ(d.stopBits, 0);
    EXPECT_EQ(d.parity, 0);
    EXPECT_EQ(d.readTimeout, 200u);
    EXPECT_EQ(d.writeTimeout, 200u);
    EXPECT_EQ(d.purgeMask, 3u);
    EXPECT_TRUE(d.rx.empty());
}

struct SetupFault {
    const char *name;
    FT_STATUS fake::Device::*status;
    size_t callsMade;  // set-up calls reached, the failing one included
};

class FtdioSetupFault : public FtdioTest, public ::testing::WithParamInterface<SetupFault> {};

TEST_P(FtdioSetupFault, FirstFailureEndsTheSetup)
{
    fake::Device &d = fake::AddDevice();
    d.*(GetParam().status) = FT_IO_ERROR;
    FT_HANDLE h = nullptr;
    ASSERT_TRUE(Ftdio_Open(0, h));
    EXPECT_FALSE(Ftdio_SetupLine(115200));
    EXPECT_EQ(Ftdio_Status, FT_IO_ERROR);
    EXPECT_EQ(d.calls.size(), 1 + GetParam().callsMade);
    EXPECT_TRUE(d.open) << "a failed set-up leaves the device open";
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FtdioSetupFault,
    ::testing::Values(SetupFault{"Latency", &fake::Device::latencyStatus, 1},
                      SetupFault{"Baud", &fake::Device::baudStatus, 2},
                      SetupFault{"Characteristics", &fake::Device::characteristicsStatus, 3},
                      SetupFault{"Timeouts", &fake::Device::timeoutsStatus, 4},
                      SetupFault{"Purge", &fake::Device::purgeStatus, 5}),
    [](const auto &test) { return std::string(test.param.name); });

TEST_F(FtdioTest, TransfersReportWholeCountsOnly)
{
    fake::Device &d = fake::AddDevice();
    FT_HANDLE h = nullptr;
    ASSERT_TRUE(Ftdio_Open(0, h));
    const uint8_t data[4] = {1, 2, 3, 4};
    EXPECT_TRUE(Ftdio_Write(4, data));
    d.writeLimit = 3;
    EXPECT_FALSE(Ftdio_Write(4, data));
    d.writeLimit = SIZE_MAX;
    d.writeStatus = FT_IO_ERROR;
    EXPECT_FALSE(Ftdio_Write(4, data));

    uint8_t b = 0;
    EXPECT_FALSE(Ftdio_ReadByte(b)) << "empty queue: read time-out";
    d.Queue({0x5A});
    EXPECT_TRUE(Ftdio_ReadByte(b));
    EXPECT_EQ(b, 0x5A);
    d.Queue({0x5B});
    d.readStatus = FT_IO_ERROR;
    EXPECT_FALSE(Ftdio_ReadByte(b));
}

TEST_F(FtdioTest, ReadTimeoutKeepsTheWriteTimeout)
{
    fake::Device &d = fake::AddDevice();
    FT_HANDLE h = nullptr;
    ASSERT_TRUE(Ftdio_Open(0, h));
    EXPECT_TRUE(Ftdio_SetReadTimeout(50));
    EXPECT_EQ(d.readTimeout, 50u);
    EXPECT_EQ(d.writeTimeout, 200u);
}

TEST_F(FtdioTest, SerialNumber)
{
    fake::Device &d = fake::AddDevice();
    d.serial = "ABCDEFGHIJKLMNOP";  // 16 characters, the most there is
    char text[17];
    std::memset(text, 'x', sizeof text);
    EXPECT_FALSE(Ftdio_GetSerialNumber(text)) << "no device open";
    EXPECT_STREQ(text, "");

    FT_HANDLE h = nullptr;
    ASSERT_TRUE(Ftdio_Open(0, h));
    ASSERT_TRUE(Ftdio_GetSerialNumber(text));
    EXPECT_STREQ(text, "ABCDEFGHIJKLMNOP");

    d.infoStatus = FT_IO_ERROR;
    EXPECT_FALSE(Ftdio_GetSerialNumber(text));
    EXPECT_STREQ(text, "");
}

TEST_F(FtdioTest, NoOperationHandsAClosedHandleToD2xx)
{
    fake::Device &d = fake::AddDevice();
    FT_HANDLE h = nullptr;
    ASSERT_TRUE(Ftdio_Open(0, h));
    ASSERT_TRUE(Ftdio_Close(h));
    const size_t calls = d.calls.size();

    const uint8_t data[1] = {0};
    uint8_t b = 0;
    char text[17];
    EXPECT_FALSE(Ftdio_SetupLine(115200));
    EXPECT_FALSE(Ftdio_Write(1, data));
    EXPECT_FALSE(Ftdio_ReadByte(b));
    EXPECT_FALSE(Ftdio_SetReadTimeout(200));
    EXPECT_FALSE(Ftdio_GetSerialNumber(text));
    EXPECT_FALSE(Ftdio_Close(h));
    EXPECT_EQ(d.calls.size(), calls);
    EXPECT_EQ(Ftdio_Status, FT_INVALID_HANDLE);
}

} // namespace
