#include "ftdi_device_type.h"

namespace ftd2xx {
namespace {

struct TypeByRelease {
    uint16_t bcdDevice;
    FT_DEVICE type;
};

struct TypeByProduct {
    uint16_t productId;
    FT_DEVICE type;
};

constexpr TypeByRelease kByRelease[] = {
    {0x0200, FT_DEVICE_AM},     {0x0400, FT_DEVICE_BM},     {0x0500, FT_DEVICE_2232C},
    {0x0600, FT_DEVICE_232R},   {0x0700, FT_DEVICE_2232H},  {0x0800, FT_DEVICE_4232H},
    {0x0900, FT_DEVICE_232H},   {0x1000, FT_DEVICE_X_SERIES},
};

constexpr TypeByProduct kByProduct[] = {
    {0x6001, FT_DEVICE_232R},   {0x6010, FT_DEVICE_2232H},  {0x6011, FT_DEVICE_4232H},
    {0x6014, FT_DEVICE_232H},   {0x6015, FT_DEVICE_X_SERIES},
};

}  // namespace

FT_DEVICE ftdiDeviceType(uint16_t productId, std::optional<uint16_t> bcdDevice) {
    if (bcdDevice) {
        for (const auto& t : kByRelease) {
            if (t.bcdDevice == *bcdDevice) return t.type;
        }
    }
    for (const auto& t : kByProduct) {
        if (t.productId == productId) return t.type;
    }
    return FT_DEVICE_UNKNOWN;
}

}  // namespace ftd2xx
