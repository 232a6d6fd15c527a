/*
 * qdx_info - opens the Quodrix controller and prints its identity text and
 * its bridge's serial number. Exit status 0 when a controller was found.
 */
#include <stdio.h>

#include "qdxlink.h"

int main(void)
{
    const char *text = NULL;

    if (!QDX_OpenDevice()) {
        QDX_GetLastError(&text);
        printf("No controller found.%s%s\n", text[0] ? " " : "", text);
        return 1;
    }

    /* The returned texts live in the library; copy them to keep them. */
    if (QDX_GetInfo(&text))
        printf("Identity: %s\n", text);
    else {
        QDX_GetLastError(&text);
        printf("Identity: %s\n", text);
    }

    if (QDX_GetSN(&text))
        printf("Serial number: %s\n", text);
    else
        printf("Serial number: not available\n");

    QDX_CloseDevice();
    return 0;
}
