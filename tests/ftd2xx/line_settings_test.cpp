// Line settings as the tty shows them, and the latency timer.
#include "support.h"
#include "termios_spy.h"

#include <termios.h>

namespace ftd2xx_test {
namespace {

constexpr tcflag_t kFormatBits = CSIZE | CSTOPB | PARENB | PARODD;

class LineTest : public LayerTest {
protected:
    void SetUp() override { ASSERT_EQ(h_.open(0), FT_OK); }

    termios line() const {
        termios t{};
        EXPECT_EQ(::tcgetattr(pty_.slave(), &t), 0);
        return t;
    }

    Pty pty_;
    EnvSetting list_{"FTD2XX_DEVICES", pty_.path()};
    Handle h_;
};

TEST_F(LineTest, OpenSetsRawNineThousandSixHundredEightNOne) {
    const termios t = line();
    const auto asked = lastRequestedSettings(pty_.slave());
    ASSERT_TRUE(asked.has_value());
    EXPECT_EQ(asked->c_cflag & kFormatBits, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(asked->c_cc[VMIN], 1);
    EXPECT_EQ(asked->c_cc[VTIME], 0);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ECHONL | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP | BRKINT), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B9600));
    EXPECT_EQ(::cfgetispeed(&t), static_cast<speed_t>(B9600));
}

struct BaudCase {
    ULONG baud;
    speed_t speed;
};

void PrintTo(const BaudCase& c, std::ostream* os) { *os << c.baud; }

class BaudTest : public LineTest, public ::testing::WithParamInterface<BaudCase> {};

TEST_P(BaudTest, StandardRateReachesTheTty) {
    ASSERT_EQ(FT_SetBaudRate(h_.h, GetParam().baud), FT_OK);
    const termios t = line();
    EXPECT_EQ(::cfgetospeed(&t), GetParam().speed);
    EXPECT_EQ(::cfgetispeed(&t), GetParam().speed);
}

INSTANTIATE_TEST_SUITE_P(
    Rates, BaudTest,
    ::testing::Values(BaudCase{300, B300}, BaudCase{600, B600}, BaudCase{1200, B1200}, BaudCase{2400, B2400},
                      BaudCase{4800, B4800}, BaudCase{9600, B9600}, BaudCase{19200, B19200},
                      BaudCase{38400, B38400}, BaudCase{57600, B57600}, BaudCase{115200, B115200},
                      BaudCase{230400, B230400}, BaudCase{460800, B460800}, BaudCase{500000, B500000},
                      BaudCase{576000, B576000}, BaudCase{921600, B921600}, BaudCase{1000000, B1000000},
                      BaudCase{1152000, B1152000}, BaudCase{1500000, B1500000}, BaudCase{2000000, B2000000},
                      BaudCase{2500000, B2500000}, BaudCase{3000000, B3000000}, BaudCase{3500000, B3500000},
                      BaudCase{4000000, B4000000}),
    [](const auto& p) { return std::to_string(p.param.baud); });

TEST_F(LineTest, NonsenseRatesAreRejectedAndChangeNothing) {
    ASSERT_EQ(FT_SetBaudRate(h_.h, 115200), FT_OK);
    for (ULONG baud : {0u, 1u, 50u, 299u, 9601u, 14400u, 115201u, 250000u, 4000001u, 0xFFFFFFFFu}) {
        EXPECT_EQ(FT_SetBaudRate(h_.h, baud), FT_INVALID_BAUD_RATE) << baud;
    }
    const termios t = line();
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B115200));
}

struct FormatCase {
    UCHAR bits, stop, parity;
    tcflag_t expected;  // CSIZE | CSTOPB | PARENB | PARODD
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << int(c.bits) << " bits, stop " << int(c.stop) << ", parity " << int(c.parity);
}

class FormatTest : public LineTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(FormatTest, ReachesTheTty) {
    // Start from the opposite of each setting, so that every bit must change.
    ASSERT_EQ(FT_SetDataCharacteristics(h_.h, FT_BITS_7, FT_STOP_BITS_2, FT_PARITY_ODD), FT_OK);
    const FormatCase& c = GetParam();
    ASSERT_EQ(FT_SetDataCharacteristics(h_.h, c.bits, c.stop, c.parity), FT_OK);
    const auto asked = lastRequestedSettings(pty_.slave());
    ASSERT_TRUE(asked.has_value());
    EXPECT_EQ(asked->c_cflag & kFormatBits, c.expected);
    EXPECT_EQ(asked->c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    // What a pseudo-terminal keeps of it (it forces CS8 and no parity).
    const termios t = line();
    EXPECT_EQ(t.c_cflag & (CSTOPB | PARODD), c.expected & (CSTOPB | PARODD));
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B9600)) << "the format must not touch the rate";
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FormatTest,
    ::testing::Values(FormatCase{FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_NONE, CS8},
                      FormatCase{FT_BITS_7, FT_STOP_BITS_2, FT_PARITY_EVEN, CS7 | CSTOPB | PARENB},
                      FormatCase{FT_BITS_7, FT_STOP_BITS_1, FT_PARITY_ODD, CS7 | PARENB | PARODD},
                      FormatCase{FT_BITS_8, FT_STOP_BITS_2, FT_PARITY_NONE, CS8 | CSTOPB},
                      FormatCase{FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_EVEN, CS8 | PARENB},
                      FormatCase{FT_BITS_7, FT_STOP_BITS_1, FT_PARITY_NONE, CS7}),
    [](const auto& p) {
        return std::to_string(p.param.bits) + "NOE"[p.param.parity] + (p.param.stop == FT_STOP_BITS_2 ? "2" : "1");
    });

TEST_F(LineTest, InvalidFormatsAreRejectedAndChangeNothing) {
    const FormatCase bad[] = {{6, FT_STOP_BITS_1, FT_PARITY_NONE, 0}, {9, FT_STOP_BITS_1, FT_PARITY_NONE, 0},
                              {0, FT_STOP_BITS_1, FT_PARITY_NONE, 0}, {FT_BITS_8, 1, FT_PARITY_NONE, 0},
                              {FT_BITS_8, 3, FT_PARITY_NONE, 0},      {FT_BITS_8, FT_STOP_BITS_1, 3, 0},
                              {FT_BITS_8, FT_STOP_BITS_1, 4, 0},      {FT_BITS_8, FT_STOP_BITS_1, 0xFF, 0}};
    for (const auto& c : bad) {
        EXPECT_EQ(FT_SetDataCharacteristics(h_.h, c.bits, c.stop, c.parity), FT_INVALID_PARAMETER)
            << int(c.bits) << " " << int(c.stop) << " " << int(c.parity);
    }
    const auto asked = lastRequestedSettings(pty_.slave());
    ASSERT_TRUE(asked.has_value());
    EXPECT_EQ(asked->c_cflag & kFormatBits, static_cast<tcflag_t>(CS8));
}

TEST_F(LineTest, LatencyTimerOnAPlainTtyIsAccepted) {
    for (UCHAR ms : {2, 16, 255}) EXPECT_EQ(FT_SetLatencyTimer(h_.h, ms), FT_OK) << int(ms);
    EXPECT_EQ(FT_SetLatencyTimer(h_.h, 0), FT_INVALID_PARAMETER);
    EXPECT_EQ(FT_SetLatencyTimer(h_.h, 1), FT_INVALID_PARAMETER);
}

class LatencyTest : public LayerTest {
protected:
    void SetUp() override {
        attribute_ = sysfs_.addFtdi(UsbDevice("ttyUSB0").withSerial("L1").withNode(pty_.path()));
        ASSERT_EQ(h_.open(0), FT_OK);
    }

    int attributeValue() { return std::stoi(readFile(attribute_)); }

    Pty pty_;
    fs::path attribute_;
    Handle h_;
};

TEST_F(LatencyTest, WritesTheDriverAttribute) {
    ASSERT_EQ(attributeValue(), 16);
    ASSERT_EQ(FT_SetLatencyTimer(h_.h, 2), FT_OK);
    EXPECT_EQ(attributeValue(), 2);
    ASSERT_EQ(FT_SetLatencyTimer(h_.h, 255), FT_OK);
    EXPECT_EQ(attributeValue(), 255);
    EXPECT_EQ(FT_SetLatencyTimer(h_.h, 1), FT_INVALID_PARAMETER);
    EXPECT_EQ(attributeValue(), 255);
}

TEST_F(LatencyTest, UnwritableAttributeIsNotAFailure) {
    // No attribute, and a tty that knows no serial flags: neither way works,
    // which must not fail the line set-up.
    fs::remove(attribute_);
    EXPECT_EQ(FT_SetLatencyTimer(h_.h, 2), FT_OK);
    fs::create_directory(attribute_);
    EXPECT_EQ(FT_SetLatencyTimer(h_.h, 2), FT_OK);
}

TEST_F(LatencyTest, VanishedDeviceFails) {
    fs::remove(attribute_);
    pty_.closeMaster();
    EXPECT_EQ(FT_SetLatencyTimer(h_.h, 2), FT_IO_ERROR);
}

}  // namespace
}  // namespace ftd2xx_test
