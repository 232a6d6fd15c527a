#ifndef FTD2XX_TTY_PORT_H
#define FTD2XX_TTY_PORT_H

#include "backend.h"

#include <memory>
#include <string>

namespace ftd2xx {

// Opens a kernel tty as a Port: read/write, no controlling tty, locked
// against every other open (flock, which holds even for root, plus
// TIOCEXCL), raw mode with CLOCAL|CREAD at 9600 baud 8N1.
FT_STATUS openTtyPort(const DeviceEntry& entry, std::unique_ptr<Port>& port);

// "c:<major>:<minor>" for a character device, "f:<dev>:<inode>" otherwise;
// empty when the path cannot be resolved.
std::string ttyIdentity(const std::string& path);

}  // namespace ftd2xx

#endif
