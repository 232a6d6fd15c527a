#ifndef FTD2XX_ENV_DEVICES_H
#define FTD2XX_ENV_DEVICES_H

#include "backend.h"

#include <string_view>
#include <vector>

namespace ftd2xx {

// Parses the FTD2XX_DEVICES list: colon-separated "PATH" or "PATH=SERIAL"
// entries (split at the first '='), empty entries skipped, serials cut to
// kSerialMax. The entries are plain ttys: no id, type unknown, no description.
std::vector<DeviceEntry> parseDeviceList(std::string_view list);

}  // namespace ftd2xx

#endif
