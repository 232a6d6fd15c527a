#ifndef FTD2XX_NATURAL_ORDER_H
#define FTD2XX_NATURAL_ORDER_H

#include <string_view>

namespace ftd2xx {

// Orders names with runs of digits compared as numbers: ttyUSB2 before ttyUSB10.
bool naturalLess(std::string_view a, std::string_view b);

}  // namespace ftd2xx

#endif
