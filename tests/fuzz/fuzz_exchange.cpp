// Arbitrary controller replies through the exported functions: every write
// of the library is answered with the next chunk of the input (a length byte,
// then that many bytes), and the calls made are chosen by the input too.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FakeD2xx.h"
#include "qdxlink.h"

namespace {

struct Input {
    const uint8_t *data;
    size_t size;
    size_t pos = 0;
    bool Empty() const { return pos >= size; }
    uint8_t Byte() { return Empty() ? 0 : data[pos++]; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in{data, size};
    fake::Reset();
    const uint8_t devices = in.Byte() % 4;
    for (uint8_t i = 0; i < devices; ++i) {
        fake::Device &d = fake::AddDevice();
        d.responder = [&in](fake::Device &dev, const fake::Bytes &) {
            const size_t n = in.Byte();
            for (size_t k = 0; k < n && !in.Empty(); ++k)
                dev.rx.push_back({false, in.Byte()});
        };
    }

    const char *text = nullptr;
    int32_t value = 0;
    uint8_t limits = 0;
    QDX_OpenDevice();
    for (int step = 0; step < 64 && !in.Empty(); ++step) {
        const uint8_t op = in.Byte();
        switch (op % 8) {
        case 0: QDX_GetInfo(&text); break;
        case 1: QDX_Set(in.Byte(), static_cast<int8_t>(in.Byte()), in.Byte(), 0x123456); break;
        case 2: QDX_Get(in.Byte(), static_cast<int8_t>(in.Byte()), in.Byte(), &value); break;
        case 3: QDX_Lim(&limits); break;
        case 4: QDX_GetSN(&text); break;
        case 5: QDX_OpenDevice(); break;
        case 6: QDX_CloseDevice(); break;
        default: break;
        }
        QDX_GetLastError(&text);
        if (std::strlen(text) > 64)
            __builtin_trap();
        if ((value & 0xFF000000) != 0)
            __builtin_trap();
    }
    QDX_GetInfo(&text);
    if (std::strlen(text) > 200)
        __builtin_trap();
    QDX_CloseDevice();
    if (fake::Misuse() != 0)
        __builtin_trap();
    return 0;
}
