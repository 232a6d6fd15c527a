#include "FrameCodec.h"

#include "Wire.h"

namespace qdxsim {

std::uint8_t crcUpdate(std::uint8_t crc, std::uint8_t byte)
{
    for (int i = 0; i < 8; ++i) {
        const bool lsb = ((crc ^ byte) & 1u) != 0;
        crc = static_cast<std::uint8_t>(crc >> 1);
        if (lsb)
            crc ^= kCrcPoly;
        byte = static_cast<std::uint8_t>(byte >> 1);
    }
    return crc;
}

namespace {

void putEscaped(std::vector<std::uint8_t> &out, std::uint8_t b)
{
    if (b == kFend) {
        out.push_back(kFesc);
        out.push_back(kTfend);
    } else if (b == kFesc) {
        out.push_back(kFesc);
        out.push_back(kTfesc);
    } else {
        out.push_back(b);
    }
}

}  // namespace

std::vector<std::uint8_t> buildFrame(std::uint8_t command, std::span<const std::uint8_t> data)
{
    const auto n = static_cast<std::uint8_t>(data.size() > kMaxData ? kMaxData : data.size());
    std::vector<std::uint8_t> out;
    out.reserve(2 * (n + 3u) + 1u);
    std::uint8_t crc = crcUpdate(kCrcInit, kFend);
    out.push_back(kFend);
    const auto cmd = static_cast<std::uint8_t>(command & 0x7F);
    crc = crcUpdate(crc, cmd);
    putEscaped(out, cmd);
    crc = crcUpdate(crc, n);
    putEscaped(out, n);
    for (std::size_t i = 0; i < n; ++i) {
        crc = crcUpdate(crc, data[i]);
        putEscaped(out, data[i]);
    }
    putEscaped(out, crc);
    return out;
}

void FrameParser::reset()
{
    state_ = State::Hunt;
    escape_ = false;
}

void FrameParser::start()
{
    state_ = State::First;
    escape_ = false;
    crc_ = crcUpdate(kCrcInit, kFend);
    length_ = 0;
    position_ = 0;
    frame_ = Frame{};
}

void FrameParser::drop()
{
    ++dropped_;
    reset();
}

bool FrameParser::feed(std::uint8_t b)
{
    if (b == kFend) {
        if (state_ != State::Hunt)
            ++dropped_;
        start();
        return false;
    }
    if (state_ == State::Hunt)
        return false;
    if (escape_) {
        escape_ = false;
        if (b == kTfend)
            return take(kFend);
        if (b == kTfesc)
            return take(kFesc);
        drop();
        return false;
    }
    if (b == kFesc) {
        escape_ = true;
        return false;
    }
    return take(b);
}

bool FrameParser::take(std::uint8_t value)
{
    switch (state_) {
    case State::Hunt:
        return false;
    case State::First:
        if (value & 0x80) {
            frame_.hasAddress = true;
            frame_.address = static_cast<std::uint8_t>(value & 0x7F);
            crc_ = crcUpdate(crc_, frame_.address);
            state_ = State::Command;
            return false;
        }
        [[fallthrough]];
    case State::Command:
        if (value & 0x80) {
            drop();
            return false;
        }
        frame_.command = value;
        crc_ = crcUpdate(crc_, value);
        state_ = State::Length;
        return false;
    case State::Length:
        length_ = value;
        crc_ = crcUpdate(crc_, value);
        frame_.data.reserve(length_);
        state_ = State::Data;
        return false;
    case State::Data:
        crc_ = crcUpdate(crc_, value);
        if (position_ < length_) {
            frame_.data.push_back(value);
            ++position_;
            return false;
        }
        // That was the check byte.
        if (crc_ != 0) {
            drop();
            return false;
        }
        reset();
        return true;
    }
    return false;
}

}  // namespace qdxsim
