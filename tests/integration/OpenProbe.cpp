// Tries to open the controller from a second process: exit 0 when it
// opened, 1 when not. The last-error text goes to stdout.
#include <cstdio>

#include "qdxlink.h"

int main()
{
    const bool opened = QDX_OpenDevice();
    const char *text = nullptr;
    QDX_GetLastError(&text);
    std::printf("%s\n", text ? text : "");
    if (opened)
        QDX_CloseDevice();
    return opened ? 0 : 1;
}
