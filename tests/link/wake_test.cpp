#include <cstring>
#include <random>

#include "LineFixture.h"
#include "Wake.h"

using fake::Bytes;
using testwake::Encode;

namespace {

uint8_t CrcOf(const char *text, uint8_t start)
{
    uint8_t crc = start;
    for (const char *p = text; *p; ++p)
        Wake_CrcUpdate(static_cast<uint8_t>(*p), crc);
    return crc;
}

TEST(WakeCrc, CheckValues)
{
    EXPECT_EQ(CrcOf("123456789", 0xDE), 0xC2);
    EXPECT_EQ(CrcOf("123456789", 0x00), 0xA1);
}

TEST(WakeCrc, FoldingTheCheckByteLeavesZero)
{
    uint8_t crc = 0xDE;
    for (uint8_t b : {0xC0, 0x07, 0x02, 0x31, 0x21})
        Wake_CrcUpdate(b, crc);
    EXPECT_EQ(crc, 0x83);
    Wake_CrcUpdate(crc, crc);
    EXPECT_EQ(crc, 0);
}

// ---- sending ---------------------------------------------------------------

struct SendCase {
    const char *name;
    uint8_t address;
    uint8_t command;
    Bytes data;
    Bytes wire;
};

class WakeSend : public LineTest, public ::testing::WithParamInterface<SendCase> {};

TEST_P(WakeSend, FrameIsWrittenByteForByteInOneWrite)
{
    const SendCase &c = GetParam();
    ASSERT_TRUE(Wake_SendFrame(c.address, c.command, static_cast<uint8_t>(c.data.size()),
                               c.data.data()));
    ASSERT_EQ(device->writes.size(), 1u);
    EXPECT_EQ(device->writes[0], c.wire);
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, WakeSend,
    ::testing::Values(
        SendCase{"Identity", 0, 3, {}, {0xC0, 0x03, 0x00, 0xEB}},
        SendCase{"Get", 0, 7, {0x31, 0x21}, {0xC0, 0x07, 0x02, 0x31, 0x21, 0x83}},
        SendCase{"Set", 0, 6, {0x07, 0xB0, 0, 0, 0}, {0xC0, 0x06, 0x05, 0x07, 0xB0, 0, 0, 0, 0x48}},
        SendCase{"DataC0Escaped", 0, 6, {0x11, 0x09, 0, 0, 0xC0},
                 {0xC0, 0x06, 0x05, 0x11, 0x09, 0, 0, 0xDB, 0xDC, 0x60}},
        SendCase{"CheckC0Escaped", 0, 7, {0x14, 0x00}, {0xC0, 0x07, 0x02, 0x14, 0x00, 0xDB, 0xDC}},
        SendCase{"Address5", 5, 3, {}, {0xC0, 0x85, 0x03, 0x00, 0x4D}},
        SendCase{"Address40Escaped", 0x40, 2, {}, {0xC0, 0xDB, 0xDC, 0x02, 0x00, 0x8D}},
        SendCase{"CommandHighBitDropped", 0, 0x83, {}, {0xC0, 0x03, 0x00, 0xEB}}),
    [](const auto &test) { return std::string(test.param.name); });

TEST_F(LineTest, SendAddress5BIsEscapedAsFescTfesc)
{
    ASSERT_TRUE(Wake_SendFrame(0x5B, 2, 0, nullptr));
    ASSERT_EQ(device->writes.size(), 1u);
    const Bytes &w = device->writes[0];
    ASSERT_GE(w.size(), 3u);
    EXPECT_EQ(w[1], 0xDB);
    EXPECT_EQ(w[2], 0xDD);
    EXPECT_EQ(w, Encode(0x5B, 2, {}));
}

TEST_F(LineTest, SendLongestFrameFitsOneWrite)
{
    // Every data byte and the address escaped.
    const Bytes data(255, 0xC0);
    ASSERT_TRUE(Wake_SendFrame(0x40, 0x40, 255, data.data()));
    ASSERT_EQ(device->writes.size(), 1u);
    EXPECT_EQ(device->writes[0], Encode(0x40, 0x40, data));
    EXPECT_LE(device->writes[0].size(), 519u);
}

TEST_F(LineTest, SendFailsOnShortOrFailedWrite)
{
    const Bytes data{1, 2, 3};
    device->writeLimit = 5;
    EXPECT_FALSE(Wake_SendFrame(0, 6, 3, data.data()));
    device->writeLimit = SIZE_MAX;
    device->writeStatus = FT_IO_ERROR;
    EXPECT_FALSE(Wake_SendFrame(0, 6, 3, data.data()));
}

// ---- receiving -------------------------------------------------------------

struct Received {
    bool ok = false;
    uint8_t address = 0xEE;
    uint8_t command = 0xEE;
    uint8_t length = 0xEE;
    Bytes data;  // buffer[0 .. min(length, capacity))
};

class WakeReceiveTest : public LineTest {
protected:
    Received Receive(size_t capacity = 255)
    {
        Received r;
        std::memset(buffer, 0xAA, sizeof buffer);
        r.ok = Wake_ReceiveFrame(200, r.address, r.command, buffer, r.length, capacity);
        r.data.assign(buffer, buffer + std::min<size_t>(r.length, capacity));
        return r;
    }
    uint8_t buffer[256 + 16];
};

struct ReceiveCase {
    const char *name;
    Bytes wire;
    uint8_t address;
    uint8_t command;
    Bytes data;
};

class WakeReceiveAccepts : public WakeReceiveTest,
                           public ::testing::WithParamInterface<ReceiveCase> {};

TEST_P(WakeReceiveAccepts, FrameDecodes)
{
    const ReceiveCase &c = GetParam();
    device->Queue(c.wire);
    const Received r = Receive();
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.address, c.address);
    EXPECT_EQ(r.command, c.command);
    EXPECT_EQ(r.length, c.data.size());
    EXPECT_EQ(r.data, c.data);
    EXPECT_TRUE(device->rx.empty()) << "the receive read past the frame";
}

TEST_P(WakeReceiveAccepts, SameFrameWithAnotherCheckIsRejected)
{
    const ReceiveCase &c = GetParam();
    for (uint8_t delta : {1, 0x80, 0xFF}) {
        device->rx.clear();
        device->Queue(Encode(c.address, c.command, c.data, delta));
        EXPECT_FALSE(Receive().ok) << "check off by " << int(delta);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, WakeReceiveAccepts,
    ::testing::Values(
        ReceiveCase{"SetReply", {0xC0, 0x06, 0x01, 0x00, 0x38}, 0, 6, {0x00}},
        ReceiveCase{"GetReply", {0xC0, 0x07, 0x04, 0x00, 0x00, 0x01, 0x23, 0x1B}, 0, 7,
                    {0x00, 0x00, 0x01, 0x23}},
        ReceiveCase{"AddressNotInCrcHighBit", {0xC0, 0x86, 0x01, 0x00, 0x38}, 6, 1, {}},
        ReceiveCase{"EmptyData", {0xC0, 0x03, 0x00, 0xEB}, 0, 3, {}},
        ReceiveCase{"EscapedData", {0xC0, 0x06, 0x05, 0x11, 0x09, 0, 0, 0xDB, 0xDC, 0x60}, 0, 6,
                    {0x11, 0x09, 0, 0, 0xC0}},
        ReceiveCase{"EscapedCheck", {0xC0, 0x07, 0x02, 0x14, 0x00, 0xDB, 0xDC}, 0, 7, {0x14, 0x00}},
        ReceiveCase{"EscapedAddress", {0xC0, 0xDB, 0xDC, 0x02, 0x00, 0x8D}, 0x40, 2, {}},
        ReceiveCase{"EscapedFescData", Encode(0, 9, {0xDB, 0xDB}), 0, 9, {0xDB, 0xDB}},
        ReceiveCase{"JunkBeforeStart", [] {
                        Bytes b{0x00, 0x55, 0xFF, 0xDB, 0xDC};
                        const Bytes f = Encode(0, 6, {0x00});
                        b.insert(b.end(), f.begin(), f.end());
                        return b;
                    }(), 0, 6, {0x00}}),
    [](const auto &test) { return std::string(test.param.name); });

TEST_F(WakeReceiveTest, UnescapedFendInsideFrameIsAData)
{
    // C0 06 02 C0 01 check: the second C0 is data byte 0, not a new start.
    Bytes plain{0xC0, 0x06, 0x02, 0xC0, 0x01};
    Bytes wire = plain;
    wire.push_back(testwake::Crc(plain));
    ASSERT_NE(wire.back(), 0xC0);
    ASSERT_NE(wire.back(), 0xDB);
    device->Queue(wire);
    const Received r = Receive();
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.data, (Bytes{0xC0, 0x01}));
}

TEST_F(WakeReceiveTest, HuntSkipsAtMost511Bytes)
{
    const Bytes frame = Encode(0, 6, {0x00});
    for (size_t junk : {511u, 512u}) {
        device->rx.clear();
        device->Queue(Bytes(junk, 0x55));
        device->Queue(frame);
        const Received r = Receive();
        EXPECT_EQ(r.ok, junk == 511) << junk << " junk bytes";
        if (junk == 512) {
            // The hunt stopped after 512 reads: the frame is still queued.
            EXPECT_EQ(device->rx.size(), frame.size());
        }
    }
}

TEST_F(WakeReceiveTest, TimeoutIsSetBeforeTheFirstRead)
{
    device->Queue(Encode(0, 6, {0x00}));
    uint8_t a, c, n;
    ASSERT_TRUE(Wake_ReceiveFrame(123, a, c, buffer, n, sizeof buffer));
    ASSERT_FALSE(device->readTimeouts.empty());
    EXPECT_EQ(device->readTimeout, 123u);
    EXPECT_EQ(device->writeTimeout, 200u);
    EXPECT_EQ(device->calls.at(1), fake::Call::SetTimeouts);  // after the open
    EXPECT_EQ(device->calls.at(2), fake::Call::Read);
}

TEST_F(WakeReceiveTest, FailsWhenTheTimeoutCannotBeSet)
{
    device->timeoutsStatus = FT_IO_ERROR;
    device->Queue(Encode(0, 6, {0x00}));
    EXPECT_FALSE(Receive().ok);
    EXPECT_EQ(device->rx.size(), 5u) << "nothing may be read";
}

struct BrokenCase {
    const char *name;
    Bytes wire;  // followed by silence
};

class WakeReceiveRejects : public WakeReceiveTest,
                           public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(WakeReceiveRejects, FrameFails)
{
    device->Queue(GetParam().wire);
    device->QueueSilence();
    EXPECT_FALSE(Receive().ok);
}

INSTANTIATE_TEST_SUITE_P(
    Broken, WakeReceiveRejects,
    ::testing::Values(
        BrokenCase{"Silence", {}},
        BrokenCase{"JunkOnly", {0x01, 0x02, 0x03}},
        BrokenCase{"FescThenZero", {0xC0, 0x06, 0x01, 0xDB, 0x00, 0x38}},
        BrokenCase{"FescThenFend", {0xC0, 0x06, 0x01, 0xDB, 0xC0, 0x38}},
        BrokenCase{"FescThenSilence", {0xC0, 0x06, 0x01, 0xDB}},
        BrokenCase{"CommandAfterAddressHasHighBit", {0xC0, 0x85, 0x83, 0x00, 0x4D}},
        BrokenCase{"BadCheck", {0xC0, 0x06, 0x01, 0x00, 0x39}},
        BrokenCase{"StartOnly", {0xC0}}),
    [](const auto &test) { return std::string(test.param.name); });

TEST_F(WakeReceiveTest, ReadFailureStopsHuntAndFrame)
{
    device->readStatus = FT_IO_ERROR;
    device->Queue(Encode(0, 6, {0x00}));
    EXPECT_FALSE(Receive().ok);
}

TEST_F(WakeReceiveTest, EveryCutOfAFrameFails)
{
    const Bytes frame = Encode(3, 7, {0x00, 0xC0, 0xDB, 0x12});
    for (size_t cut = 0; cut < frame.size(); ++cut) {
        device->rx.clear();
        device->Queue(Bytes(frame.begin(), frame.begin() + static_cast<long>(cut)));
        device->QueueSilence();
        EXPECT_FALSE(Receive().ok) << "cut after " << cut << " bytes";
    }
}

TEST_F(WakeReceiveTest, FailedReceiveKeepsWhatArrived)
{
    // Address 2, command 7, N 4, two data bytes, then silence.
    device->Queue({0xC0, 0x82, 0x07, 0x04, 0x11, 0x22});
    device->QueueSilence();
    Received r;
    r.command = 0x55;
    std::memset(buffer, 0xAA, sizeof buffer);
    r.ok = Wake_ReceiveFrame(200, r.address, r.command, buffer, r.length, sizeof buffer);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.address, 2);
    EXPECT_EQ(r.command, 7);
    EXPECT_EQ(r.length, 4);
    EXPECT_EQ(buffer[0], 0x11);
    EXPECT_EQ(buffer[1], 0x22);
    EXPECT_EQ(buffer[2], 0xAA);

    // Cut before the command: address and length reset, command kept.
    device->Queue({0xC0});
    device->QueueSilence();
    r.address = 9;
    r.length = 9;
    r.command = 0x55;
    EXPECT_FALSE(Wake_ReceiveFrame(200, r.address, r.command, buffer, r.length, sizeof buffer));
    EXPECT_EQ(r.address, 0);
    EXPECT_EQ(r.length, 0);
    EXPECT_EQ(r.command, 0x55);
}

TEST_F(WakeReceiveTest, DataBeyondCapacityIsCheckedButNotStored)
{
    Bytes data(255);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i);
    device->Queue(Encode(0, 3, data));
    Received r = Receive(200);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.length, 255);
    EXPECT_EQ(r.data, Bytes(data.begin(), data.begin() + 200));
    for (size_t i = 200; i < sizeof buffer; ++i)
        ASSERT_EQ(buffer[i], 0xAA) << "written past the capacity at " << i;

    // The excess still counts for the check.
    device->Queue(Encode(0, 3, data, 1));
    EXPECT_FALSE(Receive(200).ok);
    EXPECT_TRUE(device->rx.empty());

    device->Queue(Encode(0, 3, {1, 2, 3}));
    r = Receive(0);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.length, 3);
}

TEST_F(WakeReceiveTest, SeededRandomRoundTrips)
{
    std::mt19937 random(20261211);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 300; ++round) {
        const uint8_t address = static_cast<uint8_t>(byte(random) & 0x7F);
        const uint8_t command = static_cast<uint8_t>(byte(random) & 0x7F);
        Bytes data(static_cast<size_t>(byte(random)));
        for (auto &b : data)
            b = static_cast<uint8_t>(byte(random) % 4 == 0 ? (byte(random) & 1 ? 0xC0 : 0xDB)
                                                           : byte(random));
        device->writes.clear();
        ASSERT_TRUE(Wake_SendFrame(address, command, static_cast<uint8_t>(data.size()), data.data()));
        ASSERT_EQ(device->writes.size(), 1u);
        ASSERT_EQ(device->writes[0], Encode(address, command, data)) << "round " << round;

        device->Queue(device->writes[0]);
        const Received r = Receive();
        ASSERT_TRUE(r.ok) << "round " << round;
        EXPECT_EQ(r.address, address);
        EXPECT_EQ(r.command, command);
        EXPECT_EQ(r.data, data);
    }
}

// A stream of junk and frames with one silence placed at every position: the
// frame that the silence cuts fails, every other frame comes through, and the
// receive after a failure finds the next frame.
TEST_F(WakeReceiveTest, StreamCutAtEveryBoundary)
{
    const Bytes frames[] = {Encode(0, 6, {0x00}), Encode(1, 7, {0x00, 0xDB, 0xC0, 0x05}),
                            Encode(0, 3, testwake::Text("Quodrix"))};
    Bytes stream{0x11, 0x22};
    std::vector<std::pair<size_t, size_t>> spans;  // [begin, end) of each frame
    for (const Bytes &f : frames) {
        spans.emplace_back(stream.size(), stream.size() + f.size());
        stream.insert(stream.end(), f.begin(), f.end());
    }

    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        device->rx.clear();
        device->Queue(Bytes(stream.begin(), stream.begin() + static_cast<long>(cut)));
        device->QueueSilence();
        device->Queue(Bytes(stream.begin() + static_cast<long>(cut), stream.end()));

        std::vector<int> got;  // index of each frame received, -1 for a failure
        for (int attempt = 0; attempt < 6 && !device->rx.empty(); ++attempt) {
            const Received r = Receive();
            if (!r.ok) {
                got.push_back(-1);
                continue;
            }
            for (size_t k = 0; k < 3; ++k) {
                const auto f = testwake::Decode(frames[k]);
                if (f->code == r.command && f->data == r.data && f->address == r.address)
                    got.push_back(static_cast<int>(k));
            }
        }

        std::vector<int> expected;
        bool silenceSeen = false;
        for (size_t k = 0; k < 3; ++k) {
            const auto [b, e] = spans[k];
            if (!silenceSeen && cut <= b) {
                expected.push_back(-1);  // the hunt met the silence first
                silenceSeen = true;
            }
            if (cut > b && cut < e) {
                expected.push_back(-1);
                silenceSeen = true;
                if (k == 2)
                    expected.push_back(-1);  // the hunt through the frame's rest
            } else {
                expected.push_back(static_cast<int>(k));
            }
        }
        if (!silenceSeen)
            expected.push_back(-1);  // silence after the last frame
        EXPECT_EQ(got, expected) << "silence after byte " << cut;
    }
}

} // namespace
