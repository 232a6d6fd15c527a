#include <gtest/gtest.h>

#include <cctype>

#include <random>
#include <string>
#include <vector>

#include "FrameCodec.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using qdxsim::buildFrame;
using qdxsim::Frame;
using qdxsim::FrameParser;

// Feeds bytes and collects every frame that completed.
std::vector<Frame> parseAll(FrameParser &p, const Bytes &bytes)
{
    std::vector<Frame> frames;
    for (std::uint8_t b : bytes)
        if (p.feed(b))
            frames.push_back(p.frame());
    return frames;
}

TEST(Crc, CheckValueOverDigits)
{
    std::uint8_t crc = 0xDE;
    for (char c : std::string("123456789"))
        crc = qdxsim::crcUpdate(crc, static_cast<std::uint8_t>(c));
    EXPECT_EQ(crc, 0xC2);
    crc = 0;
    for (char c : std::string("123456789"))
        crc = qdxsim::crcUpdate(crc, static_cast<std::uint8_t>(c));
    EXPECT_EQ(crc, 0xA1);
}

struct Vector {
    const char *what;
    Bytes wire;
    bool hasAddress;
    std::uint8_t address;
    std::uint8_t command;
    Bytes data;
};

const Vector kVectors[] = {
    {"identity request", {0xC0, 0x03, 0x00, 0xEB}, false, 0, 3, {}},
    {"get request", {0xC0, 0x07, 0x02, 0x31, 0x21, 0x83}, false, 0, 7, {0x31, 0x21}},
    {"set request", {0xC0, 0x06, 0x05, 0x07, 0xB0, 0x00, 0x00, 0x00, 0x48}, false, 0, 6,
     {0x07, 0xB0, 0, 0, 0}},
    {"escaped data byte", {0xC0, 0x06, 0x05, 0x11, 0x09, 0x00, 0x00, 0xDB, 0xDC, 0x60}, false, 0,
     6, {0x11, 0x09, 0, 0, 0xC0}},
    {"escaped check byte", {0xC0, 0x07, 0x02, 0x14, 0x00, 0xDB, 0xDC}, false, 0, 7, {0x14, 0x00}},
    {"set reply", {0xC0, 0x06, 0x01, 0x00, 0x38}, false, 0, 6, {0x00}},
    {"get reply", {0xC0, 0x07, 0x04, 0x00, 0x00, 0x01, 0x23, 0x1B}, false, 0, 7, {0, 0, 1, 0x23}},
    {"address 5", {0xC0, 0x85, 0x03, 0x00, 0x4D}, true, 5, 3, {}},
    {"address 0x40 escaped", {0xC0, 0xDB, 0xDC, 0x02, 0x00, 0x8D}, true, 0x40, 2, {}},
    {"address 6 command 1", {0xC0, 0x86, 0x01, 0x00, 0x38}, true, 6, 1, {}},
};

std::ostream &operator<<(std::ostream &os, const Vector &v) { return os << v.what; }

class VectorTest : public ::testing::TestWithParam<Vector> {};

TEST_P(VectorTest, ParsesWhateverTheCut)
{
    const Vector &v = GetParam();
    // Split the stream at every position; the parser keeps its state between pieces.
    for (std::size_t cut = 0; cut <= v.wire.size(); ++cut) {
        FrameParser p;
        Bytes first(v.wire.begin(), v.wire.begin() + static_cast<long>(cut));
        Bytes second(v.wire.begin() + static_cast<long>(cut), v.wire.end());
        auto frames = parseAll(p, first);
        EXPECT_EQ(frames.size(), cut == v.wire.size() ? 1u : 0u) << "cut " << cut;
        auto rest = parseAll(p, second);
        frames.insert(frames.end(), rest.begin(), rest.end());
        ASSERT_EQ(frames.size(), 1u) << "cut " << cut;
        EXPECT_EQ(frames[0].hasAddress, v.hasAddress);
        EXPECT_EQ(frames[0].address, v.address);
        EXPECT_EQ(frames[0].command, v.command);
        EXPECT_EQ(frames[0].data, v.data);
    }
}

TEST_P(VectorTest, RejectsEveryOtherCheckByte)
{
    const Vector &v = GetParam();
    Bytes wire = v.wire;
    // Replace the (possibly escaped) check byte by each other plain value.
    const bool escapedCheck = wire.size() >= 2 && wire[wire.size() - 2] == 0xDB;
    wire.resize(wire.size() - (escapedCheck ? 2 : 1));
    const std::uint8_t good = escapedCheck ? 0xC0 : v.wire.back();
    for (int c = 0; c < 256; ++c) {
        if (c == good || c == 0xC0 || c == 0xDB)
            continue;
        FrameParser p;
        Bytes bad = wire;
        bad.push_back(static_cast<std::uint8_t>(c));
        EXPECT_TRUE(parseAll(p, bad).empty()) << "check " << c;
    }
}


std::string vectorName(const ::testing::TestParamInfo<Vector> &param)
{
    std::string name;
    for (const char *c = param.param.what; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Wake, VectorTest, ::testing::ValuesIn(kVectors), vectorName);

TEST(Parser, SkipsNoiseBeforeTheStart)
{
    FrameParser p;
    Bytes wire(600, 0x55);
    const Bytes frame = {0xC0, 0x03, 0x00, 0xEB};
    wire.insert(wire.end(), frame.begin(), frame.end());
    EXPECT_EQ(parseAll(p, wire).size(), 1u);
}

TEST(Parser, BrokenEscapeDropsTheFrameAndTheNextOneParses)
{
    FrameParser p;
    const Bytes wire = {0xC0, 0x06, 0x05, 0xDB, 0x00, 0x09, 0x00, 0x00, 0x00, 0x00,
                        0xC0, 0x03, 0x00, 0xEB};
    auto frames = parseAll(p, wire);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].command, 3);
    EXPECT_GE(p.dropped(), 1u);
}

TEST(Parser, StartByteInsideAFrameStartsAnew)
{
    FrameParser p;
    // A request cut off after three bytes, then a whole one.
    const Bytes wire = {0xC0, 0x07, 0x02, 0xC0, 0x07, 0x02, 0x31, 0x21, 0x83};
    auto frames = parseAll(p, wire);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].data, (Bytes{0x31, 0x21}));
}

TEST(Parser, AddressFollowedByByteWithBit7IsDropped)
{
    FrameParser p;
    EXPECT_TRUE(parseAll(p, {0xC0, 0x85, 0x83, 0x00, 0x00}).empty());
    EXPECT_EQ(parseAll(p, {0xC0, 0x03, 0x00, 0xEB}).size(), 1u);
}

TEST(Parser, ResetForgetsAPartialFrame)
{
    FrameParser p;
    parseAll(p, {0xC0, 0x07, 0x02, 0x31});
    EXPECT_TRUE(p.midFrame());
    p.reset();
    EXPECT_FALSE(p.midFrame());
    // The rest of the old frame is noise now.
    EXPECT_TRUE(parseAll(p, {0x21, 0x83}).empty());
}

TEST(Parser, ZeroLengthAndLongestFrames)
{
    FrameParser p;
    Bytes data(255);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i);
    auto frames = parseAll(p, buildFrame(0x12, data));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].data, data);
    frames = parseAll(p, buildFrame(0x7F, {}));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_TRUE(frames[0].data.empty());
}

TEST(Parser, SeededRandomRoundTrips)
{
    std::mt19937 rng(12345);
    FrameParser p;
    for (int round = 0; round < 500; ++round) {
        Bytes data(rng() % 40);
        // Bias toward the special values.
        for (auto &b : data)
            b = (rng() % 4 == 0) ? ((rng() & 1) ? 0xC0 : 0xDB) : static_cast<std::uint8_t>(rng());
        const auto cmd = static_cast<std::uint8_t>(rng() & 0x7F);
        auto frames = parseAll(p, buildFrame(cmd, data));
        ASSERT_EQ(frames.size(), 1u);
        EXPECT_EQ(frames[0].command, cmd);
        EXPECT_EQ(frames[0].data, data);
    }
    EXPECT_EQ(p.dropped(), 0u);
}

TEST(Builder, UnaddressedVectorsBuildToTheSameBytes)
{
    for (const Vector &v : kVectors) {
        if (!v.hasAddress) {
            EXPECT_EQ(buildFrame(v.command, v.data), v.wire) << v.what;
        }
    }
}

}  // namespace
