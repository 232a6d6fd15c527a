#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <limits>
#include <ostream>
#include <string>

#include "Control.h"
#include "RecordingLink.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override { link().reset(); }
    static RecordingLink &link() { return RecordingLink::instance(); }
};

// One write: the operation and what must reach QDX_Set.
struct WriteCase {
    const char *what;
    std::function<bool()> call;
    std::uint8_t mask;
    std::int8_t bits;
    std::uint8_t command;
    std::int32_t value;
};

std::ostream &operator<<(std::ostream &os, const WriteCase &c) { return os << c.what; }

// Expected words come from exact rational arithmetic rounded to a 64-bit
// significand, independently of the code under test.
const WriteCase kWrites[] = {
    // ABS_POS and GoTo: 22-bit two's complement, saturated.
    {"SetAbsPos 0", [] { return SetAbsPos(1, 0); }, 1, 22, 0x01, 0},
    {"SetAbsPos -1", [] { return SetAbsPos(2, -1); }, 2, 22, 0x01, 0x3FFFFF},
    {"SetAbsPos max", [] { return SetAbsPos(1, 2097151); }, 1, 22, 0x01, 0x1FFFFF},
    {"SetAbsPos min", [] { return SetAbsPos(1, -2097152); }, 1, 22, 0x01, 0x200000},
    {"SetAbsPos 12345", [] { return SetAbsPos(4, 12345); }, 4, 22, 0x01, 12345},
    {"GoTo 3000000", [] { return GoTo(7, 3000000); }, 7, 22, 0x60, 0x1FFFFF},
    {"GoTo -3000000", [] { return GoTo(1, -3000000); }, 1, 22, 0x60, 0x200000},
    {"GoTo max+1", [] { return GoTo(1, 2097152); }, 1, 22, 0x60, 0x1FFFFF},
    {"GoTo min-1", [] { return GoTo(1, -2097153); }, 1, 22, 0x60, 0x200000},
    {"GoTo INT32_MIN", [] { return GoTo(1, std::numeric_limits<std::int32_t>::min()); }, 1, 22,
     0x60, 0x200000},
    {"GoTo -5", [] { return GoTo(2, -5); }, 2, 22, 0x60, 0x3FFFFB},

    // Acceleration, deceleration: 14.55 .. 59590, x 0.068719476736, rounded.
    {"SetAcc 1000", [] { return SetAcc(7, 1000); }, 7, 12, 0x05, 69},
    {"SetAcc 59590", [] { return SetAcc(1, 59590); }, 1, 12, 0x05, 4095},
    {"SetAcc 1e9", [] { return SetAcc(1, 1e9); }, 1, 12, 0x05, 4095},
    {"SetAcc -5", [] { return SetAcc(1, -5); }, 1, 12, 0x05, 1},
    {"SetAcc low bound", [] { return SetAcc(1, 14.55); }, 1, 12, 0x05, 1},
    {"SetAcc below low bound", [] { return SetAcc(1, 14.54); }, 1, 12, 0x05, 1},
    {"SetAcc NaN", [] { return SetAcc(1, kNaN); }, 1, 12, 0x05, 1},
    {"SetAcc -inf", [] { return SetAcc(1, -kInf); }, 1, 12, 0x05, 1},
    {"SetAcc +inf", [] { return SetAcc(1, kInf); }, 1, 12, 0x05, 4095},
    {"SetDec 1000", [] { return SetDec(7, 1000); }, 7, 12, 0x06, 69},
    {"SetDec NaN", [] { return SetDec(2, kNaN); }, 2, 12, 0x06, 1},
    {"SetDec +inf", [] { return SetDec(4, kInf); }, 4, 12, 0x06, 4095},

    // Maximum speed: 15.25 .. 15610, x 0.065536, rounded.
    {"SetMaxSpeed 15000", [] { return SetMaxSpeed(7, 15000); }, 7, 10, 0x07, 983},
    {"SetMaxSpeed 1000", [] { return SetMaxSpeed(1, 1000); }, 1, 10, 0x07, 66},
    {"SetMaxSpeed 0", [] { return SetMaxSpeed(1, 0); }, 1, 10, 0x07, 1},
    {"SetMaxSpeed NaN", [] { return SetMaxSpeed(1, kNaN); }, 1, 10, 0x07, 1},
    {"SetMaxSpeed low bound", [] { return SetMaxSpeed(1, 15.25); }, 1, 10, 0x07, 1},
    // The double nearest 0.065536 lies below it: 1.5 words plus 0.5 stays below 2.
    {"SetMaxSpeed 1.5 words falls short", [] { return SetMaxSpeed(1, 22.88818359375); }, 1, 10,
     0x07, 1},
    {"SetMaxSpeed 15610", [] { return SetMaxSpeed(1, 15610); }, 1, 10, 0x07, 1023},
    {"SetMaxSpeed 20000", [] { return SetMaxSpeed(1, 20000); }, 1, 10, 0x07, 1023},
    {"SetMaxSpeed -inf", [] { return SetMaxSpeed(1, -kInf); }, 1, 10, 0x07, 1},
    {"SetMaxSpeed +inf", [] { return SetMaxSpeed(1, kInf); }, 1, 10, 0x07, 1023},

    // Full-step speed: 7.63 .. 15625, x 0.065536, truncated, cap 1023.
    {"SetFullStepSpeed 15000", [] { return SetFullStepSpeed(7, 15000); }, 7, 10, 0x15, 983},
    {"SetFullStepSpeed 15625 capped", [] { return SetFullStepSpeed(1, 15625); }, 1, 10, 0x15,
     1023},
    {"SetFullStepSpeed 16000", [] { return SetFullStepSpeed(1, 16000); }, 1, 10, 0x15, 1023},
    {"SetFullStepSpeed 7.63", [] { return SetFullStepSpeed(1, 7.63); }, 1, 10, 0x15, 0},
    {"SetFullStepSpeed 7812.5 extended", [] { return SetFullStepSpeed(1, 7812.5); }, 1, 10, 0x15,
     511},
    {"SetFullStepSpeed 7812.4", [] { return SetFullStepSpeed(1, 7812.4); }, 1, 10, 0x15, 511},
    {"SetFullStepSpeed one word", [] { return SetFullStepSpeed(1, 15.2587890625); }, 1, 10, 0x15,
     0},
    {"SetFullStepSpeed NaN", [] { return SetFullStepSpeed(1, kNaN); }, 1, 10, 0x15, 0},
    {"SetFullStepSpeed -inf", [] { return SetFullStepSpeed(1, -kInf); }, 1, 10, 0x15, 0},
    {"SetFullStepSpeed +inf", [] { return SetFullStepSpeed(1, kInf); }, 1, 10, 0x15, 1023},

    // Powers: 0 .. 99.6 %, x 2.56, rounded.
    {"SetHoldPower 10", [] { return SetHoldPower(7, 10); }, 7, 8, 0x09, 26},
    {"SetRunPower 25", [] { return SetRunPower(7, 25); }, 7, 8, 0x0A, 64},
    {"SetAccPower 40", [] { return SetAccPower(7, 40); }, 7, 8, 0x0B, 102},
    {"SetDecPower 50", [] { return SetDecPower(7, 50); }, 7, 8, 0x0C, 128},
    {"SetHoldPower 99.6", [] { return SetHoldPower(1, 99.6); }, 1, 8, 0x09, 255},
    {"SetRunPower 100", [] { return SetRunPower(1, 100); }, 1, 8, 0x0A, 255},
    {"SetAccPower +inf", [] { return SetAccPower(1, kInf); }, 1, 8, 0x0B, 255},
    {"SetDecPower -1", [] { return SetDecPower(1, -1); }, 1, 8, 0x0C, 0},
    {"SetHoldPower NaN", [] { return SetHoldPower(1, kNaN); }, 1, 8, 0x09, 0},
    {"SetRunPower -inf", [] { return SetRunPower(1, -kInf); }, 1, 8, 0x0A, 0},
    {"SetHoldPower 0", [] { return SetHoldPower(1, 0); }, 1, 8, 0x09, 0},
    {"SetHoldPower half rounds up", [] { return SetHoldPower(1, 0.1953125); }, 1, 8, 0x09, 1},
    {"SetHoldPower just below half", [] { return SetHoldPower(1, 0.19531); }, 1, 8, 0x09, 0},

    // Step mode and configuration word go out unchanged.
    {"SetStepMode 7", [] { return SetStepMode(7, 7); }, 7, 8, 0x16, 7},
    {"SetStepMode 0x1FF", [] { return SetStepMode(1, 0x1FF); }, 1, 8, 0x16, 0x1FF},
    {"SetStepMode -1", [] { return SetStepMode(1, -1); }, 1, 8, 0x16, -1},
    {"SetConfig 0x1E00", [] { return SetConfig(7, 0x1E00); }, 7, 16, 0x18, 7680},
    {"SetConfig 0x12345", [] { return SetConfig(2, 0x12345); }, 2, 16, 0x18, 0x12345},

    // Run and GoUntil: 0 .. 15625, x 67.108864, rounded, cap 0xFFFFF.
    {"Run forward 100", [] { return Run(2, true, 100); }, 2, 20, 0x51, 6711},
    {"Run reverse 15625 capped", [] { return Run(1, false, 15625); }, 1, 20, 0x50, 1048575},
    {"Run forward 0", [] { return Run(1, true, 0); }, 1, 20, 0x51, 0},
    {"Run forward 1000", [] { return Run(1, true, 1000); }, 1, 20, 0x51, 67109},
    {"Run just below cap", [] { return Run(1, true, 15624.99); }, 1, 20, 0x51, 1048575},
    {"Run half word rounds up", [] { return Run(1, true, 0.00745058059692383); }, 1, 20, 0x51, 1},
    {"Run NaN", [] { return Run(1, true, kNaN); }, 1, 20, 0x51, 0},
    {"Run -inf", [] { return Run(1, false, -kInf); }, 1, 20, 0x50, 0},
    {"Run +inf", [] { return Run(1, false, kInf); }, 1, 20, 0x50, 1048575},
    {"Run negative", [] { return Run(4, true, -100); }, 4, 20, 0x51, 0},
    {"GoUntil reset forward 50", [] { return GoUntil(7, false, true, 50); }, 7, 20, 0x83, 3355},
    {"GoUntil mark reverse", [] { return GoUntil(1, true, false, 50); }, 1, 20, 0x8A, 3355},
    {"GoUntil reset reverse", [] { return GoUntil(1, false, false, 100); }, 1, 20, 0x82, 6711},
    {"GoUntil mark forward +inf", [] { return GoUntil(1, true, true, kInf); }, 1, 20, 0x8B,
     1048575},
    {"GoUntil NaN", [] { return GoUntil(1, false, true, kNaN); }, 1, 20, 0x83, 0},

    // Commands without data.
    {"ReleaseSw reset reverse", [] { return ReleaseSw(1, false, false); }, 1, 0, 0x92, 0},
    {"ReleaseSw reset forward", [] { return ReleaseSw(1, false, true); }, 1, 0, 0x93, 0},
    {"ReleaseSw mark reverse", [] { return ReleaseSw(2, true, false); }, 2, 0, 0x9A, 0},
    {"ReleaseSw mark forward", [] { return ReleaseSw(7, true, true); }, 7, 0, 0x9B, 0},
    {"SoftStop", [] { return SoftStop(7); }, 7, 0, 0xB0, 0},
    {"HardStop", [] { return HardStop(4); }, 4, 0, 0xB8, 0},
    {"HardHiZ", [] { return HardHiZ(2); }, 2, 0, 0xA8, 0},
};

class WriteTest : public ControlTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteTest, SendsOneSetWithFieldWidthCommandAndWord)
{
    const WriteCase &c = GetParam();
    EXPECT_TRUE(c.call());
    ASSERT_EQ(link().calls.size(), 1u);
    const LinkCall &call = link().calls[0];
    EXPECT_FALSE(call.isGet);
    EXPECT_EQ(call.mask, c.mask);
    EXPECT_EQ(call.bits, c.bits);
    EXPECT_EQ(call.command, c.command);
    EXPECT_EQ(call.value, c.value);
}

TEST_P(WriteTest, ReturnsTheLibraryFlagUnchanged)
{
    link().result = false;
    EXPECT_FALSE(GetParam().call());
}

std::string caseName(const ::testing::TestParamInfo<WriteCase> &info)
{
    std::string name = std::to_string(info.index) + "_";
    for (const char *p = info.param.what; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(AllOperations, WriteTest, ::testing::ValuesIn(kWrites), caseName);

// One read: what goes to QDX_Get, and the decoding of a reading.
struct ReadCase {
    const char *what;
    std::function<double(std::uint8_t)> call;
    std::int8_t bits;
    std::uint8_t command;
    std::int32_t reading;
    double expected;
};

std::ostream &operator<<(std::ostream &os, const ReadCase &c) { return os << c.what; }

double absPos(std::uint8_t m) { return GetAbsPos(m); }
double statusReg(std::uint8_t m) { return GetStatusReg(m); }
double status(std::uint8_t m) { return GetStatus(m); }

const ReadCase kReads[] = {
    {"AbsPos 0", absPos, 22, 0x21, 0, 0},
    {"AbsPos -1", absPos, 22, 0x21, 0x3FFFFF, -1},
    {"AbsPos min", absPos, 22, 0x21, 0x200000, -2097152},
    {"AbsPos max", absPos, 22, 0x21, 0x1FFFFF, 2097151},
    {"AbsPos upper bits ignored", absPos, 22, 0x21, 0xC00001, 1},
    {"AbsPos upper bits and sign", absPos, 22, 0x21, 0xFFFFFE, -2},
    {"AbsPos 1000", absPos, 22, 0x21, 1000, 1000},
    // 29.64 x reading / 31; the double nearest the extended-precision result.
    {"Vcc 0", GetVcc, 5, 0x32, 0, 0.0},
    {"Vcc 1", GetVcc, 5, 0x32, 1, 0.9561290322580646},
    {"Vcc 16", GetVcc, 5, 0x32, 16, 15.298064516129033},
    {"Vcc 30", GetVcc, 5, 0x32, 30, 28.683870967741935},
    {"Vcc 31 full scale", GetVcc, 5, 0x32, 31, 29.64},
    {"Vcc 32 unmasked", GetVcc, 5, 0x32, 32, 30.596129032258066},
    {"Vcc 0xFFFFFF unmasked", GetVcc, 5, 0x32, 0xFFFFFF, 16041182.341935484},
    {"StatusReg as delivered", statusReg, 16, 0x39, 0x7E83, 0x7E83},
    {"StatusReg not masked", statusReg, 16, 0x39, 0xABCDEF, 0xABCDEF},
    {"GetStatus as delivered", status, 16, 0xD0, 0x0004, 4},
    {"GetStatus not masked", status, 16, 0xD0, 0xFFFFFF, 0xFFFFFF},
};

class ReadTest : public ControlTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadTest, SendsOneGetAndDecodes)
{
    const ReadCase &c = GetParam();
    for (std::uint8_t mask : {1, 2, 4, 7}) {
        link().reset();
        link().reading = c.reading;
        EXPECT_EQ(c.call(mask), c.expected) << "mask " << int(mask);
        ASSERT_EQ(link().calls.size(), 1u);
        const LinkCall &call = link().calls[0];
        EXPECT_TRUE(call.isGet);
        EXPECT_EQ(call.mask, mask);
        EXPECT_EQ(call.bits, c.bits);
        EXPECT_EQ(call.command, c.command);
    }
}

TEST_P(ReadTest, DecodesWhatFailedGetDeliveredAndIgnoresTheFlag)
{
    const ReadCase &c = GetParam();
    link().result = false;
    link().reading = c.reading;
    EXPECT_EQ(c.call(1), c.expected);
}

TEST_P(ReadTest, StartsFromZeroWhenTheLibraryWritesNothing)
{
    link().getWritesValue = false;
    EXPECT_EQ(GetParam().call(1), 0.0);
}

std::string readName(const ::testing::TestParamInfo<ReadCase> &info)
{
    std::string name = std::to_string(info.index) + "_";
    for (const char *p = info.param.what; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(AllReads, ReadTest, ::testing::ValuesIn(kReads), readName);

}  // namespace
