#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>

#include "LineFixture.h"

using fake::Bytes;
using testwake::Answer;
using testwake::Encode;
using testwake::Frame;
using testwake::Reply;
using testwake::Text;

namespace {

constexpr const char *kIdentity = "Quodrix QDX-3 v1.2";
constexpr const char *kNotResponding = "IO error: device not responding.";

std::string Hex(const Bytes &bytes)
{
    std::string s;
    char buf[4];
    for (uint8_t b : bytes) {
        std::snprintf(buf, sizeof buf, "%02X ", b);
        s += buf;
    }
    return s;
}

std::string LastError()
{
    const char *text = nullptr;
    QDX_GetLastError(&text);
    return text;
}

class ApiTest : public FakeLibraryTest {
protected:
    fake::Device &AddController(const std::string &identity = kIdentity)
    {
        fake::Device &d = fake::AddDevice();
        d.responder = testwake::GoodController(identity);
        return d;
    }

    // A controller that answers identity requests with kIdentity and every
    // other request with answer().
    fake::Device &AddScripted(Answer answer)
    {
        fake::Device &d = fake::AddDevice();
        d.responder = testwake::Controller([answer](const Frame &r) -> std::optional<Bytes> {
            if (r.code == 3)
                return Reply(3, Text(kIdentity));
            return answer(r);
        });
        return d;
    }

    // Opens the controller and forgets the identity exchange.
    void Open(fake::Device &d)
    {
        ASSERT_TRUE(QDX_OpenDevice());
        d.writes.clear();
    }

    static std::vector<Frame> Requests(const fake::Device &d)
    {
        std::vector<Frame> frames;
        for (const Bytes &w : d.writes) {
            auto f = testwake::Decode(w);
            EXPECT_TRUE(f.has_value()) << "a write that is not one whole frame";
            if (f)
                frames.push_back(*f);
        }
        return frames;
    }
};

// ---- opening and closing ----------------------------------------------------

TEST_F(ApiTest, OpenFindsTheControllerAndSetsUpItsLine)
{
    fake::Device &d = AddController();
    ASSERT_TRUE(QDX_OpenDevice());
    EXPECT_TRUE(d.open);
    EXPECT_EQ(d.baud, 115200u);
    EXPECT_EQ(d.latency, 2);
    ASSERT_EQ(d.writes.size(), 1u);
    EXPECT_EQ(d.writes[0], (Bytes{0xC0, 0x03, 0x00, 0xEB}));
    EXPECT_EQ(LastError(), "");

    const char *text = nullptr;
    ASSERT_TRUE(QDX_GetInfo(&text));
    EXPECT_STREQ(text, kIdentity);
}

TEST_F(ApiTest, OpenFailsWhenDevicesCannotBeCounted)
{
    fake::Device &d = AddController();
    fake::SetListStatus(FT_IO_ERROR);
    EXPECT_FALSE(QDX_OpenDevice());
    EXPECT_EQ(d.opens, 0);
}

TEST_F(ApiTest, OpenFailsWithoutDevices)
{
    EXPECT_FALSE(QDX_OpenDevice());
    EXPECT_FALSE(QDX_CloseDevice()) << "nothing may be left open";
}

struct OpenFault {
    const char *name;
    FT_STATUS fake::Device::*status;
    size_t callsOnFirst;  // D2XX calls that reached the failing device
};

class OpenSetupFault : public ApiTest, public ::testing::WithParamInterface<OpenFault> {};

// Each failing step leaves the later ones unmade, the device closed and the
// search going on with the next index.
TEST_P(OpenSetupFault, DeviceIsClosedAndTheNextOneTried)
{
    fake::Device &first = AddController();
    fake::Device &second = AddController("Quodrix second");
    first.*(GetParam().status) = FT_IO_ERROR;

    ASSERT_TRUE(QDX_OpenDevice());
    EXPECT_FALSE(first.open);
    EXPECT_EQ(first.closes, first.opens);
    EXPECT_EQ(first.calls.size(), GetParam().callsOnFirst);
    EXPECT_TRUE(first.writes.empty()) << "no request before the line is set up";
    EXPECT_TRUE(second.open);

    const char *text = nullptr;
    QDX_GetInfo(&text);
    EXPECT_STREQ(text, "Quodrix second");
}

INSTANTIATE_TEST_SUITE_P(
    Steps, OpenSetupFault,
    ::testing::Values(
        // open, failing step..., close
        OpenFault{"Open", &fake::Device::openStatus, 1},
        OpenFault{"Latency", &fake::Device::latencyStatus, 3},
        OpenFault{"Baud", &fake::Device::baudStatus, 4},
        OpenFault{"Characteristics", &fake::Device::characteristicsStatus, 5},
        OpenFault{"Timeouts", &fake::Device::timeoutsStatus, 6},
        OpenFault{"Purge", &fake::Device::purgeStatus, 7}),
    [](const auto &test) { return std::string(test.param.name); });

TEST_F(ApiTest, OpenSkipsDevicesThatDoNotAnswer)
{
    fake::Device &silent = fake::AddDevice();
    fake::Device &shortWrite = AddController();
    shortWrite.writeLimit = 2;
    fake::Device &good = AddController();

    ASSERT_TRUE(QDX_OpenDevice());
    EXPECT_FALSE(silent.open);
    EXPECT_EQ(silent.writes.size(), 1u) << "asked once";
    EXPECT_FALSE(shortWrite.open);
    EXPECT_TRUE(good.open);
}

TEST_F(ApiTest, OpenLeavesTheLastIdentityExchangeText)
{
    AddController("Other device");
    fake::AddDevice();  // silent
    EXPECT_FALSE(QDX_OpenDevice());
    EXPECT_EQ(LastError(), kNotResponding);

    fake::Reset();
    fake::AddDevice();
    AddController("Other device");
    EXPECT_FALSE(QDX_OpenDevice());
    EXPECT_EQ(LastError(), "");
}

struct IdentityCase {
    const char *identity;
    bool matches;
};

void PrintTo(const IdentityCase &c, std::ostream *os) { *os << '"' << c.identity << '"'; }

class OpenIdentity : public ApiTest, public ::testing::WithParamInterface<IdentityCase> {};

TEST_P(OpenIdentity, FirstSevenCharactersDecide)
{
    fake::Device &d = AddController(GetParam().identity);
    EXPECT_EQ(QDX_OpenDevice(), GetParam().matches);
    EXPECT_EQ(d.open, GetParam().matches);
    EXPECT_EQ(d.opens, 1);
}

INSTANTIATE_TEST_SUITE_P(Texts, OpenIdentity,
                         ::testing::Values(IdentityCase{"Quodrix", true},
                                           IdentityCase{"Quodrix QDX-3 firmware 1.0", true},
                                           IdentityCase{"Quodri", false},
                                           IdentityCase{"", false},
                                           IdentityCase{"quodrix", false},
                                           IdentityCase{"QUODRIX", false},
                                           IdentityCase{" Quodrix", false},
                                           IdentityCase{"Quodrax", false}));

TEST_F(ApiTest, FirstMatchingIndexWins)
{
    fake::Device &other = AddController("Something else");
    fake::Device &first = AddController("Quodrix A");
    fake::Device &second = AddController("Quodrix B");

    ASSERT_TRUE(QDX_OpenDevice());
    EXPECT_FALSE(other.open);
    EXPECT_EQ(other.opens, 1);
    EXPECT_TRUE(first.open);
    EXPECT_EQ(second.opens, 0);
}

TEST_F(ApiTest, ReopenClosesAndSearchesFromIndexZero)
{
    fake::Device &other = AddController("Something else");
    fake::Device &controller = AddController();
    ASSERT_TRUE(QDX_OpenDevice());

    ASSERT_TRUE(QDX_OpenDevice());
    EXPECT_EQ(other.opens, 2);
    EXPECT_EQ(controller.opens, 2);
    EXPECT_EQ(controller.closes, 1);
    EXPECT_TRUE(controller.open);

    // Gone meanwhile: the reopen closes it and finds nothing.
    controller.responder = nullptr;
    EXPECT_FALSE(QDX_OpenDevice());
    EXPECT_FALSE(controller.open);
}

TEST_F(ApiTest, CloseTwice)
{
    fake::Device &d = AddController();
    ASSERT_TRUE(QDX_OpenDevice());
    EXPECT_TRUE(QDX_CloseDevice());
    EXPECT_FALSE(d.open);
    const size_t calls = d.calls.size();
    EXPECT_FALSE(QDX_CloseDevice());
    EXPECT_EQ(d.calls.size(), calls);
}

TEST_F(ApiTest, FailedCloseStillLeavesNoDeviceOpen)
{
    fake::Device &d = AddController();
    d.closeStatus = FT_IO_ERROR;
    ASSERT_TRUE(QDX_OpenDevice());
    EXPECT_FALSE(QDX_CloseDevice());
    d.writes.clear();
    EXPECT_TRUE(QDX_Set(1, 8, 0x16, 1));
    EXPECT_TRUE(d.writes.empty());
    EXPECT_FALSE(QDX_CloseDevice());
}

TEST_F(ApiTest, CloseLeavesTheLastErrorText)
{
    fake::Device &d = AddScripted([](const Frame &) { return Reply(6, {2}); });
    Open(d);
    EXPECT_FALSE(QDX_Set(1, 0, 0xB0, 0));
    const std::string text = LastError();
    EXPECT_EQ(text, "Set data error: device busy.");
    QDX_CloseDevice();
    EXPECT_EQ(LastError(), text);
}

// ---- serial number ------------------------------------------------------------

TEST_F(ApiTest, SerialNumber)
{
    fake::Device &d = AddController();
    d.serial = "QX12345678ABCDEF";
    const char *text = nullptr;
    EXPECT_FALSE(QDX_GetSN(&text)) << "no device open";
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "");

    ASSERT_TRUE(QDX_OpenDevice());
    ASSERT_TRUE(QDX_GetSN(&text));
    EXPECT_STREQ(text, "QX12345678ABCDEF");

    d.infoStatus = FT_IO_ERROR;
    EXPECT_FALSE(QDX_GetSN(&text));
    EXPECT_STREQ(text, "");
}

TEST_F(ApiTest, SerialNumberLeavesTheLastErrorTextAndSendsNothing)
{
    fake::Device &d = AddScripted([](const Frame &) { return std::nullopt; });
    Open(d);
    EXPECT_FALSE(QDX_Set(1, 0, 0xB0, 0));
    d.writes.clear();
    const char *text = nullptr;
    EXPECT_TRUE(QDX_GetSN(&text));
    EXPECT_EQ(LastError(), kNotResponding);
    EXPECT_TRUE(d.writes.empty());
}

// ---- texts ----------------------------------------------------------------------

struct TextCase {
    uint8_t code;    // reply command code
    uint8_t status;  // reply data byte 0
    bool ok;
    const char *text;
};

void PrintTo(const TextCase &c, std::ostream *os)
{
    *os << "code " << int(c.code) << " status " << int(c.status);
}

class ReplyTexts : public ApiTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(ReplyTexts, CodeChoosesPrefixAndStatusChoosesMessage)
{
    const TextCase c = GetParam();
    fake::Device &d = AddScripted([c](const Frame &) { return Reply(c.code, {c.status}); });
    Open(d);
    EXPECT_EQ(QDX_Set(1, 8, 0x16, 0), c.ok);
    EXPECT_EQ(LastError(), c.text);
    EXPECT_LE(LastError().size(), 64u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReplyTexts,
    ::testing::Values(
        TextCase{6, 0, true, ""},
        TextCase{6, 1, false, "Set data error: invalid packet."},
        TextCase{6, 2, false, "Set data error: device busy."},
        TextCase{6, 3, false, "Set data error: device not ready."},
        TextCase{6, 4, false, "Set data error: invalid parameters."},
        TextCase{6, 5, false, "Set data error: device not responding."},
        TextCase{6, 6, false, "Set data error: unknown."},
        TextCase{6, 9, false, "Set data error: unknown."},
        TextCase{6, 255, false, "Set data error: unknown."},
        TextCase{0, 2, false, "device busy."},
        TextCase{0, 0, true, ""},
        TextCase{1, 4, false, "IO error: invalid parameters."},
        TextCase{2, 1, true, ""},
        TextCase{3, 7, true, ""},
        TextCase{4, 1, false, "Set address error: invalid packet."},
        TextCase{5, 2, false, "Get address error: device busy."},
        TextCase{7, 3, false, "Get data error: device not ready."},
        TextCase{8, 4, false, "Get limits error: invalid parameters."},
        TextCase{9, 1, false, "System error: invalid packet."},
        TextCase{12, 1, false, "System error: invalid packet."},
        TextCase{12, 0, true, ""},
        TextCase{127, 5, false, "System error: device not responding."}));

TEST_F(ApiTest, NoValidReplyGivesIoErrorAndTheNextSuccessClearsIt)
{
    bool answer = false;
    fake::Device &d = AddScripted([&answer](const Frame &) -> std::optional<Bytes> {
        if (!answer)
            return Bytes{0xC0, 0x06, 0x01, 0x00, 0x39};  // bad check
        return Reply(6, {0});
    });
    Open(d);
    EXPECT_FALSE(QDX_Set(1, 8, 0x16, 0));
    EXPECT_EQ(LastError(), kNotResponding);
    answer = true;
    EXPECT_TRUE(QDX_Set(1, 8, 0x16, 0));
    EXPECT_EQ(LastError(), "");
}

TEST_F(ApiTest, WriteFailureGivesIoError)
{
    fake::Device &d = AddController();
    Open(d);
    d.writeLimit = 3;
    EXPECT_FALSE(QDX_Set(1, 8, 0x16, 0));
    EXPECT_EQ(LastError(), kNotResponding);
}

TEST_F(ApiTest, ReplyWithoutDataIsSuccess)
{
    fake::Device &d = AddScripted([](const Frame &) { return Reply(6, {}); });
    Open(d);
    EXPECT_TRUE(QDX_Set(1, 8, 0x16, 0));
}

TEST_F(ApiTest, ReplyWithAnAddressIsAccepted)
{
    fake::Device &d = AddScripted([](const Frame &) { return Encode(0x21, 6, {4}); });
    Open(d);
    EXPECT_FALSE(QDX_Set(1, 8, 0x16, 0));
    EXPECT_EQ(LastError(), "Set data error: invalid parameters.");
}

// ---- request data -------------------------------------------------------------

struct SetCase {
    uint8_t mask;
    int8_t bits;
    uint8_t command;
    int32_t value;
    Bytes data;
};

void PrintTo(const SetCase &c, std::ostream *os)
{
    *os << "mask " << int(c.mask) << " bits " << int(c.bits) << " command " << int(c.command)
        << " value " << c.value;
}

class SetRequest : public ApiTest, public ::testing::WithParamInterface<SetCase> {};

TEST_P(SetRequest, DataBytes)
{
    const SetCase &c = GetParam();
    fake::Device &d = AddController();
    Open(d);
    ASSERT_TRUE(QDX_Set(c.mask, c.bits, c.command, c.value));
    ASSERT_EQ(d.writes.size(), 1u);
    EXPECT_EQ(d.writes[0], Encode(0, 6, c.data));
}

INSTANTIATE_TEST_SUITE_P(
    Table, SetRequest,
    ::testing::Values(
        SetCase{7, 0, 0xB0, 0, {0x07, 0xB0, 0x00, 0x00, 0x00}},
        SetCase{1, 22, 0x01, 0x3FFFFF, {0x31, 0x01, 0x3F, 0xFF, 0xFF}},
        SetCase{2, 12, 0x05, 0x123, {0x22, 0x05, 0x00, 0x01, 0x23}},
        SetCase{4, 8, 0x09, 0x1FF, {0x14, 0x09, 0x00, 0x01, 0xFF}},
        SetCase{0x0F, 8, 0x16, 3, {0x17, 0x16, 0x00, 0x00, 0x03}},
        SetCase{0xF8, 8, 0x16, 3, {0x10, 0x16, 0x00, 0x00, 0x03}},
        SetCase{1, 1, 0x00, 0, {0x11, 0x00, 0, 0, 0}},
        SetCase{1, 9, 0x00, 0, {0x21, 0x00, 0, 0, 0}},
        SetCase{1, 16, 0x00, 0, {0x21, 0x00, 0, 0, 0}},
        SetCase{1, 17, 0x00, 0, {0x31, 0x00, 0, 0, 0}},
        SetCase{1, 24, 0x00, 0, {0x31, 0x00, 0, 0, 0}},
        SetCase{1, 25, 0x00, 0, {0x41, 0x00, 0, 0, 0}},
        SetCase{1, 121, 0x00, 0, {0x01, 0x00, 0, 0, 0}},
        SetCase{1, -1, 0x00, 0, {0x01, 0x00, 0, 0, 0}},
        SetCase{1, -8, 0x00, 0, {0x01, 0x00, 0, 0, 0}},
        SetCase{1, -128, 0x00, 0, {0x11, 0x00, 0, 0, 0}},
        SetCase{1, 22, 0x40, -1, {0x31, 0x40, 0xFF, 0xFF, 0xFF}},
        SetCase{1, 22, 0x40, 0x12345678, {0x31, 0x40, 0x34, 0x56, 0x78}},
        SetCase{1, 8, 0xC0, 0xDBC0, {0x11, 0xC0, 0x00, 0xDB, 0xC0}}));

struct GetCase {
    uint8_t mask;
    int8_t bits;
    uint8_t command;
    Bytes data;
};

void PrintTo(const GetCase &c, std::ostream *os)
{
    *os << "mask " << int(c.mask) << " bits " << int(c.bits) << " command " << int(c.command);
}

class GetRequest : public ApiTest, public ::testing::WithParamInterface<GetCase> {};

TEST_P(GetRequest, DataBytesReadTheLowestChannel)
{
    const GetCase &c = GetParam();
    fake::Device &d = AddController();
    Open(d);
    int32_t value = -1;
    ASSERT_TRUE(QDX_Get(c.mask, c.bits, c.command, &value));
    ASSERT_EQ(d.writes.size(), 1u);
    EXPECT_EQ(d.writes[0], Encode(0, 7, c.data));
}

INSTANTIATE_TEST_SUITE_P(Table, GetRequest,
                         ::testing::Values(GetCase{7, 22, 0x21, {0x31, 0x21}},
                                           GetCase{6, 22, 0x21, {0x32, 0x21}},
                                           GetCase{4, 22, 0x21, {0x34, 0x21}},
                                           GetCase{0, 22, 0x21, {0x30, 0x21}},
                                           GetCase{8, 22, 0x21, {0x30, 0x21}},
                                           GetCase{0xFE, 16, 0x39, {0x22, 0x39}},
                                           GetCase{3, 0, 0xD0, {0x01, 0xD0}},
                                           GetCase{1, 25, 0x21, {0x41, 0x21}}));

TEST_F(ApiTest, OtherRequestsCarryNoData)
{
    fake::Device &d = AddController();
    Open(d);
    const char *text = nullptr;
    uint8_t limits = 0;
    ASSERT_TRUE(QDX_GetInfo(&text));
    ASSERT_TRUE(QDX_Lim(&limits));
    EXPECT_EQ(Requests(d), (std::vector<Frame>{{0, 3, {}}, {0, 8, {}}}));
}

TEST_F(ApiTest, EveryReplyWaitsAtMost200MsPerByte)
{
    fake::Device &d = AddController();
    Open(d);
    d.readTimeouts.clear();
    int32_t value = 0;
    QDX_Set(1, 8, 0x16, 0);
    QDX_Get(1, 8, 0x36, &value);
    EXPECT_EQ(d.readTimeouts, (std::vector<ULONG>{200, 200}));
    EXPECT_EQ(d.writeTimeout, 200u);
}

// ---- reply decoding -----------------------------------------------------------

struct GetReplyCase {
    Bytes reply;  // data of a get reply
    bool ok;
    int32_t value;
};

void PrintTo(const GetReplyCase &c, std::ostream *os) { *os << "reply " << Hex(c.reply); }

class GetReply : public ApiTest, public ::testing::WithParamInterface<GetReplyCase> {};

TEST_P(GetReply, ValueIsTheUnsigned24BitNumber)
{
    const GetReplyCase c = GetParam();
    fake::Device &d = AddScripted([c](const Frame &) { return Reply(7, c.reply); });
    Open(d);
    int32_t value = -1;
    EXPECT_EQ(QDX_Get(1, 22, 0x21, &value), c.ok);
    EXPECT_EQ(value, c.value);
}

INSTANTIATE_TEST_SUITE_P(Table, GetReply,
                         ::testing::Values(GetReplyCase{{0x00, 0x12, 0x34, 0x56}, true, 0x123456},
                                           GetReplyCase{{0x00, 0x01}, true, 0x010000},
                                           GetReplyCase{{0x00}, true, 0},
                                           GetReplyCase{{}, true, 0},
                                           GetReplyCase{{0x00, 0xFF, 0xFF, 0xFF}, true, 0xFFFFFF},
                                           GetReplyCase{{0x00, 1, 2, 3, 4, 5}, true, 0x010203},
                                           GetReplyCase{{0x02, 0xAB, 0xCD, 0xEF}, false, 0xABCDEF}));

TEST_F(ApiTest, GetAfterNoReplyYieldsWhatArrived)
{
    // Status and one value byte, then the line goes quiet.
    fake::Device &d = AddScripted([](const Frame &) {
        return Bytes{0xC0, 0x07, 0x04, 0x00, 0x7F};
    });
    Open(d);
    int32_t value = -1;
    EXPECT_FALSE(QDX_Get(1, 22, 0x21, &value));
    EXPECT_EQ(value, 0x7F0000);
    EXPECT_EQ(LastError(), kNotResponding);
}

TEST_F(ApiTest, LimitsByte)
{
    uint8_t status = 0;
    fake::Device &d = AddScripted([&status](const Frame &) { return Reply(8, {status, 0x05}); });
    Open(d);
    uint8_t limits = 0;
    EXPECT_TRUE(QDX_Lim(&limits));
    EXPECT_EQ(limits, 0x05);

    status = 3;
    limits = 0;
    EXPECT_FALSE(QDX_Lim(&limits));
    EXPECT_EQ(limits, 0x05) << "written also after a failure";
    EXPECT_EQ(LastError(), "Get limits error: device not ready.");
}

TEST_F(ApiTest, LateReplyWaitingInTheQueueIsTaken)
{
    fake::Device &d = AddController();
    Open(d);
    d.Queue(Reply(6, {2}));  // left over from an earlier request
    EXPECT_FALSE(QDX_Set(1, 8, 0x16, 0));
    EXPECT_EQ(LastError(), "Set data error: device busy.");
    // This request's own reply now waits in the queue, and so on.
    EXPECT_TRUE(QDX_Set(1, 8, 0x16, 0));
    EXPECT_EQ(d.rx.size(), Reply(6, {0}).size());
}

// ---- no controller open -------------------------------------------------------

TEST_F(ApiTest, WithoutControllerEverythingSucceedsAndNothingIsSent)
{
    fake::Device &d = AddScripted([](const Frame &) { return Reply(6, {1}); });
    Open(d);
    EXPECT_FALSE(QDX_Set(1, 8, 0x16, 0));
    ASSERT_TRUE(QDX_CloseDevice());
    d.writes.clear();

    int32_t value = -1;
    uint8_t limits = 0xFF;
    const char *text = nullptr;
    EXPECT_TRUE(QDX_Set(7, 22, 0x40, 5));
    EXPECT_EQ(LastError(), "");
    EXPECT_TRUE(QDX_Get(1, 22, 0x21, &value));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(QDX_Lim(&limits));
    EXPECT_EQ(limits, 0);
    EXPECT_TRUE(QDX_GetInfo(&text));
    EXPECT_STREQ(text, "");
    EXPECT_EQ(LastError(), "");
    EXPECT_TRUE(d.writes.empty());
}

TEST_F(ApiTest, NullOutPointersAreIgnored)
{
    fake::Device &d = AddController();
    Open(d);
    QDX_GetLastError(nullptr);
    EXPECT_TRUE(QDX_GetInfo(nullptr));
    EXPECT_TRUE(QDX_Get(1, 8, 0x21, nullptr));
    EXPECT_TRUE(QDX_Lim(nullptr));
    EXPECT_TRUE(QDX_GetSN(nullptr));
}

// ---- identity texts and oversized replies -------------------------------------

TEST_F(ApiTest, FullIdentityIsTerminated)
{
    const std::string identity = "Quodrix" + std::string(193, 'x');  // 200 bytes
    fake::Device &d = AddController(identity);
    ASSERT_TRUE(QDX_OpenDevice());
    const char *text = nullptr;
    ASSERT_TRUE(QDX_GetInfo(&text));
    EXPECT_EQ(std::strlen(text), 200u);
    EXPECT_EQ(std::string(text), identity);
    (void)d;
}

TEST_F(ApiTest, CutIdentityKeepsWhatArrived)
{
    fake::Device &d = AddController();
    Open(d);
    d.responder = [](fake::Device &dev, const Bytes &) { dev.Queue({0xC0, 0x03, 0x07, 'Q', 'u', 'o', 'd'}); };
    const char *text = nullptr;
    EXPECT_FALSE(QDX_GetInfo(&text));
    EXPECT_STREQ(text, "Quod");
    EXPECT_EQ(LastError(), kNotResponding);
}

struct OversizeCase {
    const char *name;
    uint8_t code;
    size_t length;
};

class OversizedReply : public ApiTest, public ::testing::WithParamInterface<OversizeCase> {};

// A reply longer than the reply buffer fails the exchange; its first 200
// bytes are kept and nothing is written past them.
TEST_P(OversizedReply, FailsWithoutOverrun)
{
    const OversizeCase c = GetParam();
    fake::Device &d = AddController();
    Open(d);
    Bytes data(c.length, 'Q');
    data[0] = 0;  // a status of success, for the codes that have one
    d.responder = [&c, data](fake::Device &dev, const Bytes &) { dev.Queue(Reply(c.code, data)); };

    const char *text = nullptr;
    EXPECT_FALSE(QDX_GetInfo(&text));
    EXPECT_EQ(LastError(), kNotResponding);
    EXPECT_EQ(std::strlen(text + 1), 199u);
    EXPECT_TRUE(d.rx.empty()) << "the whole frame is read";

    EXPECT_FALSE(QDX_Set(1, 8, 0x16, 0));
    EXPECT_EQ(LastError(), kNotResponding);
}

INSTANTIATE_TEST_SUITE_P(Lengths, OversizedReply,
                         ::testing::Values(OversizeCase{"Identity201", 3, 201},
                                           OversizeCase{"Identity255", 3, 255},
                                           OversizeCase{"Set201", 6, 201},
                                           OversizeCase{"Set255", 6, 255}),
                         [](const auto &test) { return std::string(test.param.name); });

TEST_F(ApiTest, OversizedIdentityDoesNotOpen)
{
    AddController("Quodrix" + std::string(194, 'x'));  // 201 bytes
    EXPECT_FALSE(QDX_OpenDevice());
    EXPECT_EQ(LastError(), kNotResponding);
}

} // namespace
