/* The public header must stay valid C for callers written in C. */
#include "ftd2xx.h"

FT_STATUS ftd2xx_header_as_c(void);

FT_STATUS ftd2xx_header_as_c(void) {
    DWORD count = 0;
    return FT_ListDevices(&count, 0, FT_LIST_NUMBER_ONLY);
}
