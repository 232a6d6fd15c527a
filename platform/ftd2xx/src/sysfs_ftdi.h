#ifndef FTD2XX_SYSFS_FTDI_H
#define FTD2XX_SYSFS_FTDI_H

#include "backend.h"

#include <string>
#include <vector>

namespace ftd2xx {

// The ttys bound to the kernel's ftdi_sio driver under sysfsRoot (normally
// /sys), in natural order of their names, with the USB device's serial,
// product, ids and the port's latency_timer attribute. Device nodes are
// devRoot/<tty name>. A missing or unreadable tree gives an empty list.
std::vector<DeviceEntry> scanFtdiSio(const std::string& sysfsRoot, const std::string& devRoot);

}  // namespace ftd2xx

#endif
