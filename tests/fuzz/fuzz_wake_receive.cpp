// Arbitrary byte streams into Wake_ReceiveFrame, with a caller's buffer of
// arbitrary size placed on the heap so that any write past it is caught.
// Input: byte 0 is the buffer's capacity, the rest is the line; a silence is
// put into the stream after every few receives.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FakeD2xx.h"
#include "Ftdio.h"
#include "Wake.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    fake::Reset();
    fake::Device &device = fake::AddDevice();
    FT_HANDLE handle = nullptr;
    if (!Ftdio_Open(0, handle))
        __builtin_trap();

    const size_t capacity = data[0];
    for (size_t i = 1; i < size; ++i)
        device.rx.push_back({false, data[i]});

    // Each receive consumes at least one byte or one silence, so this ends.
    for (int i = 0; i < 1000 && !device.rx.empty(); ++i) {
        std::vector<uint8_t> buffer(capacity);
        uint8_t address = 0, command = 0, length = 0;
        const bool ok = Wake_ReceiveFrame(200, address, command, buffer.data(), length, capacity);
        if (ok && address > 0x7F)
            __builtin_trap();
        if (i % 7 == 3)
            device.QueueSilence();
    }
    Ftdio_Close(handle);
    return 0;
}
