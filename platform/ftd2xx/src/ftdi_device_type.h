#ifndef FTD2XX_FTDI_DEVICE_TYPE_H
#define FTD2XX_FTDI_DEVICE_TYPE_H

#include "ftd2xx.h"

#include <cstdint>
#include <optional>

namespace ftd2xx {

// The chip family of an FTDI bridge. The device release number (bcdDevice)
// tells the family reliably, since FTDI chips share product ids (0x6001 is
// AM, BM and R); without it the product id gives the likeliest family.
FT_DEVICE ftdiDeviceType(uint16_t productId, std::optional<uint16_t> bcdDevice);

}  // namespace ftd2xx

#endif
