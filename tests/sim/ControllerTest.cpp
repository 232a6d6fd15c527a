#include <gtest/gtest.h>

#include <cctype>

#include <chrono>
#include <string>
#include <vector>

#include "Controller.h"
#include "FrameCodec.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

struct VirtualClock {
    std::chrono::nanoseconds now{0};
    qdxsim::Clock clock()
    {
        return [this] { return now; };
    }
};

class ControllerTest : public ::testing::Test {
protected:
    VirtualClock time;
    qdxsim::Controller ctl{qdxsim::ControllerOptions{}, time.clock()};

    qdxsim::Reply request(std::uint8_t command, Bytes data)
    {
        qdxsim::Frame f;
        f.command = command;
        f.data = std::move(data);
        return ctl.handle(f);
    }
    // Runs a set; returns its status.
    std::uint8_t set(std::uint8_t mask, std::uint8_t count, std::uint8_t cmd, std::uint32_t v = 0)
    {
        auto r = request(6, {static_cast<std::uint8_t>(count << 4 | mask), cmd,
                             static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                             static_cast<std::uint8_t>(v)});
        EXPECT_EQ(r.data.size(), 1u);
        return r.data.empty() ? 0xFF : r.data[0];
    }
    // Runs a get; returns status and value.
    std::pair<std::uint8_t, std::uint32_t> get(std::uint8_t channel, std::uint8_t count,
                                               std::uint8_t cmd)
    {
        auto r = request(7, {static_cast<std::uint8_t>(count << 4 | channel), cmd});
        EXPECT_EQ(r.data.size(), 4u);
        if (r.data.size() != 4)
            return {0xFF, 0};
        return {r.data[0], std::uint32_t{r.data[1]} << 16 | std::uint32_t{r.data[2]} << 8 |
                               r.data[3]};
    }
};

TEST_F(ControllerTest, IdentityReplyIsTheTextWithoutStatus)
{
    auto r = request(3, {});
    EXPECT_EQ(r.command, 3);
    EXPECT_EQ(std::string(r.data.begin(), r.data.end()), "Quodrix QX-3 sim 1.0");
}

TEST_F(ControllerTest, ByteStreamGetsOneReplyFramePerRequest)
{
    Bytes in = qdxsim::buildFrame(3, {});
    Bytes get = qdxsim::buildFrame(7, Bytes{0x31, 0x21});
    in.insert(in.end(), get.begin(), get.end());
    Bytes bad = qdxsim::buildFrame(7, Bytes{0x31, 0x21});
    bad.back() ^= 1;  // bad check: no reply
    in.insert(in.end(), bad.begin(), bad.end());
    Bytes expected = qdxsim::buildFrame(3, Bytes(ctl.options().identity.begin(),
                                                  ctl.options().identity.end()));
    Bytes getReply = qdxsim::buildFrame(7, Bytes{0, 0, 0, 0});
    expected.insert(expected.end(), getReply.begin(), getReply.end());
    EXPECT_EQ(ctl.receive(in), expected);
    EXPECT_EQ(ctl.droppedFrames(), 1u);
}

TEST_F(ControllerTest, SetThenGetRoundTripsPerChannel)
{
    EXPECT_EQ(set(7, 2, 0x05, 0x123), 0);  // ACC, all channels (stopped)
    EXPECT_EQ(set(2, 2, 0x05, 0x456), 0);  // ACC, channel 2 only
    EXPECT_EQ(get(1, 2, 0x25), std::make_pair(std::uint8_t{0}, 0x123u));
    EXPECT_EQ(get(2, 2, 0x25), std::make_pair(std::uint8_t{0}, 0x456u));
    EXPECT_EQ(get(4, 2, 0x25), std::make_pair(std::uint8_t{0}, 0x123u));
}

TEST_F(ControllerTest, ResetValuesOfTheRegistersTheCommandLayerUses)
{
    struct {
        std::uint8_t reg;
        std::uint8_t count;
        std::uint32_t value;
    } const regs[] = {{0x01, 3, 0},     {0x05, 2, 0x08A}, {0x06, 2, 0x08A}, {0x07, 2, 0x041},
                      {0x09, 1, 0x29},  {0x0A, 1, 0x29},  {0x0B, 1, 0x29},  {0x0C, 1, 0x29},
                      {0x15, 2, 0x027}, {0x16, 1, 0x07},  {0x18, 2, 0x2E88}};
    for (const auto &r : regs)
        EXPECT_EQ(get(1, r.count, static_cast<std::uint8_t>(0x20 | r.reg)),
                  std::make_pair(std::uint8_t{0}, r.value))
            << "register " << int(r.reg);
}

TEST_F(ControllerTest, LimitsByteHasOneBitPerChannelSwitch)
{
    auto r = request(8, {});
    EXPECT_EQ(r.data, (Bytes{0, 0}));
    // Drive channel 2 onto its switch (at 400) at full speed.
    EXPECT_EQ(set(2, 3, 0x51, 0xFFFFF), 0);
    time.now += 10s;
    r = request(8, {});
    EXPECT_EQ(r.data, (Bytes{0, 0x02}));
}

TEST_F(ControllerTest, SupplyReadingFollowsTheVoltage)
{
    VirtualClock t;
    for (auto [volts, reading] : std::initializer_list<std::pair<double, std::uint32_t>>{
             {0.0, 0}, {-3.0, 0}, {24.0, 25}, {29.64, 31}, {40.0, 31}, {15.2981, 16}}) {
        qdxsim::ControllerOptions o;
        o.vcc = volts;
        qdxsim::Controller c(o, t.clock());
        qdxsim::Frame f;
        f.command = 7;
        f.data = {0x11, 0x32};
        EXPECT_EQ(c.handle(f).data, (Bytes{0, 0, 0, static_cast<std::uint8_t>(reading)}))
            << volts << " V";
    }
}

// A malformed or refused request and the status it gets.
// What the channels do when the request arrives.
enum class Before { Reset, Running, Positioning };

struct ErrorCase {
    const char *what;
    std::uint8_t command;
    Bytes data;
    bool address;
    std::uint8_t status;
    std::size_t replySize;
    Before before = Before::Reset;
};

std::ostream &operator<<(std::ostream &os, const ErrorCase &c) { return os << c.what; }

const ErrorCase kErrors[] = {
    {"set too short", 6, {0x10, 0x09, 0, 0}, false, 1, 1},
    {"set too long", 6, {0x10, 0x09, 0, 0, 0, 0}, false, 1, 1},
    {"get too short", 7, {0x31}, false, 1, 4},
    {"get too long", 7, {0x31, 0x21, 0}, false, 1, 4},
    {"identity with data", 3, {0}, false, 1, 1},
    {"limits with data", 8, {0}, false, 1, 2},
    {"request with an address", 7, {0x31, 0x21}, true, 1, 4},
    {"unknown frame command 0", 0, {}, false, 4, 1},
    {"unknown frame command 9", 9, {}, false, 4, 1},
    {"set unknown driver command", 6, {0x01, 0xF0, 0, 0, 0}, false, 4, 1},
    {"set unknown register 0x1B", 6, {0x21, 0x1B, 0, 0, 0}, false, 4, 1},
    {"set read-only SPEED", 6, {0x31, 0x04, 0, 0, 0}, false, 4, 1},
    {"set read-only ADC_OUT", 6, {0x11, 0x12, 0, 0, 0}, false, 4, 1},
    {"set read-only STATUS", 6, {0x21, 0x19, 0, 0, 0}, false, 4, 1},
    {"set GetParam byte", 6, {0x31, 0x21, 0, 0, 0}, false, 4, 1},
    {"set GetStatus byte", 6, {0x21, 0xD0, 0, 0, 0}, false, 4, 1},
    {"set ACC with 3 bytes", 6, {0x31, 0x05, 0, 0, 1}, false, 4, 1},
    {"set ABS_POS with 2 bytes", 6, {0x21, 0x01, 0, 0, 1}, false, 4, 1},
    {"set Run with 2 bytes", 6, {0x21, 0x51, 0, 0, 1}, false, 4, 1},
    {"set SoftStop with 1 byte", 6, {0x11, 0xB0, 0, 0, 0}, false, 4, 1},
    {"set with bit 3 of the mask", 6, {0x09, 0xB0, 0, 0, 0}, false, 4, 1},
    {"get channel field 0", 7, {0x30, 0x21}, false, 4, 4},
    {"get channel field 3", 7, {0x33, 0x21}, false, 4, 4},
    {"get channel field 8", 7, {0x38, 0x21}, false, 4, 4},
    {"get a motion command", 7, {0x31, 0x51}, false, 4, 4},
    {"get unknown register", 7, {0x11, 0x3F}, false, 4, 4},
    {"get register 0", 7, {0x01, 0x20}, false, 4, 4},
    {"get ABS_POS with 2 bytes", 7, {0x21, 0x21}, false, 4, 4},
    {"get GetStatus with 3 bytes", 7, {0x31, 0xD0}, false, 4, 4},
    {"STEP_MODE while not in HiZ", 6, {0x17, 0x16, 0, 0, 3}, false, 2, 1, Before::Running},
    {"CONFIG while not in HiZ", 6, {0x27, 0x18, 0, 0x1E, 0}, false, 2, 1, Before::Running},
    {"ABS_POS while running", 6, {0x37, 0x01, 0, 0, 0}, false, 2, 1, Before::Running},
    {"ACC while running", 6, {0x27, 0x05, 0, 0, 0x45}, false, 2, 1, Before::Running},
    {"DEC while running", 6, {0x27, 0x06, 0, 0, 0x45}, false, 2, 1, Before::Running},
    {"GoTo while a GoTo runs", 6, {0x37, 0x60, 0, 0x10, 0}, false, 2, 1, Before::Positioning},
};

class ErrorTest : public ControllerTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ErrorTest, GetsItsStatus)
{
    const ErrorCase &c = GetParam();
    if (c.before == Before::Running) {
        ASSERT_EQ(set(7, 3, 0x51, 0x10000), 0);
    } else if (c.before == Before::Positioning) {
        ASSERT_EQ(set(7, 3, 0x60, 0x100000), 0);
    }
    time.now += 10ms;
    qdxsim::Frame f;
    f.command = c.command;
    f.data = c.data;
    f.hasAddress = c.address;
    f.address = c.address ? 5 : 0;
    const auto r = ctl.handle(f);
    EXPECT_EQ(r.command, c.command);
    ASSERT_EQ(r.data.size(), c.replySize);
    EXPECT_EQ(r.data[0], c.status);
    for (std::size_t i = 1; i < r.data.size(); ++i)
        EXPECT_EQ(r.data[i], 0) << "byte " << i;
}

std::string errorcaseName(const ::testing::TestParamInfo<ErrorCase> &param)
{
    std::string name;
    for (const char *c = param.param.what; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Requests, ErrorTest, ::testing::ValuesIn(kErrors), errorcaseName);

TEST_F(ControllerTest, RefusedWriteLatchesNotPerformedAndChangesNothing)
{
    ASSERT_EQ(set(1, 1, 0x16, 3), 0);  // STEP_MODE in HiZ: accepted
    ASSERT_EQ(set(1, 0, 0xB8), 0);     // HardStop: bridges on, out of HiZ
    EXPECT_EQ(set(1, 1, 0x16, 5), 2);
    EXPECT_EQ(get(1, 1, 0x36).second, 3u);
    const auto status = get(1, 2, 0xD0).second;
    EXPECT_NE(status & 0x80, 0u);                 // NOTPERF_CMD
    EXPECT_EQ(get(1, 2, 0xD0).second & 0x80, 0u);  // cleared by GetStatus
}

TEST_F(ControllerTest, SetToSeveralChannelsReportsTheWorstStatus)
{
    // Channel 1 leaves HiZ; channels 2 and 3 stay in it.
    ASSERT_EQ(set(1, 0, 0xB8), 0);
    EXPECT_EQ(set(7, 1, 0x16, 4), 2);
    EXPECT_EQ(get(1, 1, 0x36).second, 7u);  // refused
    EXPECT_EQ(get(2, 1, 0x36).second, 4u);  // taken
    EXPECT_EQ(get(4, 1, 0x36).second, 4u);
}

TEST_F(ControllerTest, SetWithEmptyMaskReachesNoChannel)
{
    EXPECT_EQ(set(0, 3, 0x51, 0x10000), 0);
    time.now += 1s;
    for (std::uint8_t ch : {1, 2, 4})
        EXPECT_EQ(get(ch, 3, 0x21).second, 0u);
}

TEST_F(ControllerTest, WriteToReadOnlyRegisterLatchesWrongCommand)
{
    EXPECT_EQ(set(1, 3, 0x04, 100), 4);  // SPEED
    EXPECT_NE(get(1, 2, 0xD0).second & 0x100, 0u);
    EXPECT_EQ(get(1, 2, 0xD0).second & 0x100, 0u);
}

}  // namespace
