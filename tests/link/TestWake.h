// TestWake.h - an independent Wake encoder and decoder for the tests, and a
// controller that answers request frames through the fake D2XX.
#ifndef TESTWAKE_H
#define TESTWAKE_H

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "FakeD2xx.h"

namespace testwake {

using fake::Bytes;

inline uint8_t Crc(const Bytes &values)
{
    uint8_t crc = 0xDE;
    for (uint8_t v : values) {
        crc ^= v;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? static_cast<uint8_t>((crc >> 1) ^ 0x8C) : static_cast<uint8_t>(crc >> 1);
    }
    return crc;
}

inline void Stuff(Bytes &out, uint8_t b)
{
    if (b == 0xC0)
        out.insert(out.end(), {0xDB, 0xDC});
    else if (b == 0xDB)
        out.insert(out.end(), {0xDB, 0xDD});
    else
        out.push_back(b);
}

// A frame with the given address (0: none), code and data; crcDelta is added
// to the check byte to make a bad frame.
inline Bytes Encode(uint8_t address, uint8_t code, const Bytes &data, uint8_t crcDelta = 0)
{
    Bytes plain{0xC0};
    if (address != 0)
        plain.push_back(address & 0x7F);
    plain.push_back(code & 0x7F);
    plain.push_back(static_cast<uint8_t>(data.size()));
    plain.insert(plain.end(), data.begin(), data.end());
    const uint8_t check = static_cast<uint8_t>(Crc(plain) + crcDelta);

    Bytes out{0xC0};
    size_t i = 1;
    if (address != 0)
        Stuff(out, plain[i++] | 0x80);
    for (; i < plain.size(); ++i)
        Stuff(out, plain[i]);
    Stuff(out, check);
    return out;
}

inline Bytes Reply(uint8_t code, const Bytes &data) { return Encode(0, code, data); }

inline Bytes Text(const std::string &s) { return Bytes(s.begin(), s.end()); }

struct Frame {
    uint8_t address = 0;
    uint8_t code = 0;
    Bytes data;
    bool operator==(const Frame &) const = default;
};

// Decodes one whole, well-formed frame (no leading junk); nullopt otherwise.
inline std::optional<Frame> Decode(const Bytes &bytes)
{
    if (bytes.empty() || bytes[0] != 0xC0)
        return std::nullopt;
    Bytes plain{0xC0};
    for (size_t i = 1; i < bytes.size(); ++i) {
        if (bytes[i] == 0xDB) {
            if (++i == bytes.size())
                return std::nullopt;
            if (bytes[i] == 0xDC)
                plain.push_back(0xC0);
            else if (bytes[i] == 0xDD)
                plain.push_back(0xDB);
            else
                return std::nullopt;
        } else {
            plain.push_back(bytes[i]);
        }
    }
    Frame f;
    size_t i = 1;
    if (plain.size() > 1 && (plain[1] & 0x80)) {
        f.address = plain[1] & 0x7F;
        plain[1] = f.address;
        i = 2;
    }
    if (plain.size() < i + 3)
        return std::nullopt;
    f.code = plain[i];
    const size_t n = plain[i + 1];
    if (plain.size() != i + 2 + n + 1)
        return std::nullopt;
    f.data.assign(plain.begin() + static_cast<long>(i + 2), plain.end() - 1);
    if (Crc(plain) != 0)
        return std::nullopt;
    return f;
}

// A controller for a fake device: each write is taken as one request frame;
// answer() returns the reply bytes to queue (nullopt: stay silent).
using Answer = std::function<std::optional<Bytes>(const Frame &request)>;

inline fake::Responder Controller(Answer answer)
{
    return [answer](fake::Device &d, const Bytes &written) {
        const auto request = Decode(written);
        if (!request)
            return;
        if (auto reply = answer(*request))
            d.Queue(*reply);
    };
}

// A well-behaved controller with the given identity: set replies status 0,
// get replies status 0 and getValue, limits status 0 and limits.
inline fake::Responder GoodController(const std::string &identity, uint32_t getValue = 0,
                                      uint8_t limits = 0)
{
    return Controller([=](const Frame &r) -> std::optional<Bytes> {
        switch (r.code) {
        case 3:
            return Reply(3, Text(identity));
        case 6:
            return Reply(6, {0});
        case 7:
            return Reply(7, {0, static_cast<uint8_t>(getValue >> 16),
                             static_cast<uint8_t>(getValue >> 8), static_cast<uint8_t>(getValue)});
        case 8:
            return Reply(8, {0, limits});
        default:
            return std::nullopt;
        }
    });
}

} // namespace testwake

#endif
