// Records the line settings the layer asks the kernel for. A pseudo-terminal
// always reports 8 data bits and no parity whatever was set, so the test
// binary interposes tcsetattr to see the character format the layer chose.
#ifndef FTD2XX_TESTS_TERMIOS_SPY_H
#define FTD2XX_TESTS_TERMIOS_SPY_H

#include <optional>
#include <termios.h>

namespace ftd2xx_test {

// The settings passed to the last successful tcsetattr on fd's tty, if any.
std::optional<termios> lastRequestedSettings(int fd);

}  // namespace ftd2xx_test

#endif
