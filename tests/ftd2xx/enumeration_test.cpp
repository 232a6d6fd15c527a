// The device list: FTDI ttys from sysfs in natural order, then the entries
// of FTD2XX_DEVICES, and what FT_GetDeviceInfo reports for each.
#include "support.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace ftd2xx_test {
namespace {

using EnumerationTest = LayerTest;

TEST_F(EnumerationTest, EmptyTreeAndNoListGiveNoDevices) {
    EXPECT_EQ(deviceCount(), 0u);
    Handle h;
    EXPECT_EQ(h.open(0), FT_DEVICE_NOT_FOUND);
    EXPECT_EQ(h.h, nullptr);
}

TEST_F(EnumerationTest, MissingSysfsRootGivesNoDevices) {
    EnvSetting root("FTD2XX_SYSFS_ROOT", "/nonexistent/ftd2xx-sysfs");
    EXPECT_EQ(deviceCount(), 0u);
}

TEST_F(EnumerationTest, SysfsDevicesInNaturalOrderThenListEntriesInOrder) {
    Pty usb10, usb2, usb0, extraA, extraB;
    // Created out of order, so that directory order cannot pass for sorting.
    sysfs_.addFtdi(UsbDevice("ttyUSB10").withSerial("S10").withNode(usb10.path()));
    sysfs_.addFtdi(UsbDevice("ttyUSB2").withSerial("S2").withNode(usb2.path()));
    sysfs_.addFtdi(UsbDevice("ttyUSB0").withSerial("S0").withNode(usb0.path()), Layout::TtyClass);
    sysfs_.addOtherTty("ttyUSB1", "pl2303");
    EnvSetting list("FTD2XX_DEVICES", extraA.path() + "=XA:" + extraB.path() + "=XB");

    ASSERT_EQ(deviceCount(), 5u);
    const char* expected[] = {"S0", "S2", "S10", "XA", "XB"};
    for (int i = 0; i < 5; ++i) {
        Handle h;
        ASSERT_EQ(h.open(i), FT_OK) << i;
        EXPECT_EQ(deviceInfo(h.h).serial, expected[i]) << i;
    }
    Handle past;
    EXPECT_EQ(past.open(5), FT_DEVICE_NOT_FOUND);
    EXPECT_EQ(past.open(-1), FT_DEVICE_NOT_FOUND);
}

TEST_F(EnumerationTest, ListIsReadAnewOnEveryCall) {
    Pty a;
    EXPECT_EQ(deviceCount(), 0u);
    {
        EnvSetting list("FTD2XX_DEVICES", a.path());
        EXPECT_EQ(deviceCount(), 1u);
        Handle h;
        EXPECT_EQ(h.open(0), FT_OK);
    }
    EXPECT_EQ(deviceCount(), 0u);
}

class LayoutTest : public LayerTest, public ::testing::WithParamInterface<Layout> {};

TEST_P(LayoutTest, ReportsUsbAttributes) {
    Pty pty;
    sysfs_.addFtdi(UsbDevice("ttyUSB3").withIds(0x0403, 0x6001).withRelease(0x0600).withSerial("A906XYZ1").withDescription("FT232R USB UART").withNode(pty.path()),
                   GetParam());
    ASSERT_EQ(deviceCount(), 1u);
    Handle h;
    ASSERT_EQ(h.open(0), FT_OK);
    const Info info = deviceInfo(h.h);
    EXPECT_EQ(info.status, FT_OK);
    EXPECT_EQ(info.serial, "A906XYZ1");
    EXPECT_EQ(info.description, "FT232R USB UART");
    EXPECT_EQ(info.id, 0x04036001u);
    EXPECT_EQ(info.type, FT_DEVICE_232R);
}

INSTANTIATE_TEST_SUITE_P(BothBindings, LayoutTest, ::testing::Values(Layout::DriverDir, Layout::TtyClass));

TEST_F(EnumerationTest, LongTextsAreCutToTheirBuffers) {
    Pty pty;
    const std::string longSerial = "0123456789ABCDEFGHIJ";
    const std::string longProduct(80, 'p');
    sysfs_.addFtdi(UsbDevice("ttyUSB0").withSerial(longSerial).withDescription(longProduct).withNode(pty.path()));
    Handle h;
    ASSERT_EQ(h.open(0), FT_OK);

    // Exactly sized buffers with guard bytes behind them.
    char serial[17 + 8];
    char description[64 + 8];
    std::memset(serial, 0x7F, sizeof serial);
    std::memset(description, 0x7F, sizeof description);
    ASSERT_EQ(FT_GetDeviceInfo(h.h, nullptr, nullptr, serial, description, nullptr), FT_OK);
    EXPECT_EQ(std::string(serial), longSerial.substr(0, 16));
    EXPECT_EQ(std::string(description), longProduct.substr(0, 63));
    for (std::size_t i = 17; i < sizeof serial; ++i) EXPECT_EQ(serial[i], 0x7F);
    for (std::size_t i = 64; i < sizeof description; ++i) EXPECT_EQ(description[i], 0x7F);
}

TEST_F(EnumerationTest, MissingAttributesGiveEmptyTexts) {
    Pty pty;
    sysfs_.addFtdi(UsbDevice("ttyUSB0").withIds(0x1234, 0x5678).withNode(pty.path()));
    Handle h;
    ASSERT_EQ(h.open(0), FT_OK);
    const Info info = deviceInfo(h.h);
    EXPECT_EQ(info.serial, "");
    EXPECT_EQ(info.description, "");
    EXPECT_EQ(info.id, 0x12345678u);
    EXPECT_EQ(info.type, FT_DEVICE_UNKNOWN);
}

TEST_F(EnumerationTest, AllOutPointersMayBeNull) {
    Pty pty;
    EnvSetting list("FTD2XX_DEVICES", pty.path());
    Handle h;
    ASSERT_EQ(h.open(0), FT_OK);
    EXPECT_EQ(FT_GetDeviceInfo(h.h, nullptr, nullptr, nullptr, nullptr, nullptr), FT_OK);
}

TEST_F(EnumerationTest, ListedDeviceWithoutNodeFailsToOpen) {
    sysfs_.addFtdi(UsbDevice("ttyUSB0").withSerial("X"));
    ASSERT_EQ(deviceCount(), 1u);
    Handle h;
    EXPECT_EQ(h.open(0), FT_DEVICE_NOT_OPENED);
    EXPECT_EQ(h.h, nullptr);
}

struct TypeCase {
    uint16_t product;
    std::optional<uint16_t> release;
    FT_DEVICE type;
};

void PrintTo(const TypeCase& c, std::ostream* os) {
    *os << "product " << c.product << ", release " << c.release.value_or(0) << " -> type " << c.type;
}

class DeviceTypeTest : public LayerTest, public ::testing::WithParamInterface<TypeCase> {};

TEST_P(DeviceTypeTest, FollowsReleaseThenProductId) {
    Pty pty;
    sysfs_.addFtdi(UsbDevice("ttyUSB0").withIds(0x0403, GetParam().product).withRelease(GetParam().release).withNode(pty.path()));
    Handle h;
    ASSERT_EQ(h.open(0), FT_OK);
    EXPECT_EQ(deviceInfo(h.h).type, GetParam().type);
}

INSTANTIATE_TEST_SUITE_P(Table, DeviceTypeTest,
                         ::testing::Values(TypeCase{0x6001, 0x0600, FT_DEVICE_232R},
                                           TypeCase{0x6001, 0x0400, FT_DEVICE_BM},
                                           TypeCase{0x6001, 0x0200, FT_DEVICE_AM},
                                           TypeCase{0x6001, std::nullopt, FT_DEVICE_232R},
                                           TypeCase{0x6010, 0x0500, FT_DEVICE_2232C},
                                           TypeCase{0x6010, 0x0700, FT_DEVICE_2232H},
                                           TypeCase{0x6010, std::nullopt, FT_DEVICE_2232H},
                                           TypeCase{0x6011, 0x0800, FT_DEVICE_4232H},
                                           TypeCase{0x6014, std::nullopt, FT_DEVICE_232H},
                                           TypeCase{0x6015, 0x1000, FT_DEVICE_X_SERIES},
                                           TypeCase{0x6015, 0x0123, FT_DEVICE_X_SERIES},
                                           TypeCase{0x4242, std::nullopt, FT_DEVICE_UNKNOWN}),
                         [](const auto& p) {
                             char name[32];
                             std::snprintf(name, sizeof name, "pid%04x_rel%04x", p.param.product,
                                           p.param.release.value_or(0));
                             return std::string(name);
                         });

struct ListCase {
    const char* list;  // "@" stands for the pty's path
    DWORD count;
    const char* serial;  // of the first entry
};

void PrintTo(const ListCase& c, std::ostream* os) { *os << '"' << c.list << '"'; }

class DeviceListTest : public LayerTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(DeviceListTest, ParsesEntries) {
    Pty pty;
    std::string list = GetParam().list;
    for (std::size_t at; (at = list.find('@')) != std::string::npos;) list.replace(at, 1, pty.path());
    EnvSetting env("FTD2XX_DEVICES", list);
    ASSERT_EQ(deviceCount(), GetParam().count);
    if (GetParam().count == 0) return;
    Handle h;
    ASSERT_EQ(h.open(0), FT_OK);
    const Info info = deviceInfo(h.h);
    EXPECT_EQ(info.serial, GetParam().serial);
    EXPECT_EQ(info.description, "");
    EXPECT_EQ(info.id, 0u);
    EXPECT_EQ(info.type, FT_DEVICE_UNKNOWN);
}

INSTANTIATE_TEST_SUITE_P(Table, DeviceListTest,
                         ::testing::Values(ListCase{"", 0, ""}, ListCase{":", 0, ""}, ListCase{"=S", 0, ""},
                                           ListCase{"@", 1, ""}, ListCase{"@=", 1, ""},
                                           ListCase{"@=QDX0001", 1, "QDX0001"},
                                           ListCase{"@=A=B", 1, "A=B"},
                                           ListCase{"@=0123456789ABCDEFGHIJ", 1, "0123456789ABCDEF"},
                                           ListCase{"::@=S1::/dev/null:", 2, "S1"}));

TEST_F(EnumerationTest, ListDevicesArguments) {
    DWORD n = 0;
    EXPECT_EQ(FT_ListDevices(nullptr, nullptr, FT_LIST_NUMBER_ONLY), FT_INVALID_PARAMETER);
    EXPECT_EQ(FT_ListDevices(&n, nullptr, 0), FT_NOT_SUPPORTED);
    EXPECT_EQ(FT_ListDevices(&n, nullptr, 0x40000000u), FT_NOT_SUPPORTED);
    EXPECT_EQ(FT_ListDevices(&n, nullptr, FT_LIST_NUMBER_ONLY | 2u), FT_NOT_SUPPORTED);
}

}  // namespace
}  // namespace ftd2xx_test
