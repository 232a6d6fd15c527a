#include "RecordingLink.h"

#include "qdxlink.h"

RecordingLink &RecordingLink::instance()
{
    static RecordingLink link;
    return link;
}

extern "C" bool QDX_Set(uint8_t mask, int8_t bits, uint8_t command, int32_t value)
{
    auto &link = RecordingLink::instance();
    link.calls.push_back({false, mask, bits, command, value});
    return link.result;
}

extern "C" bool QDX_Get(uint8_t mask, int8_t bits, uint8_t command, int32_t *value)
{
    auto &link = RecordingLink::instance();
    link.calls.push_back({true, mask, bits, command, 0});
    if (link.getWritesValue)
        *value = link.reading;
    return link.result;
}
