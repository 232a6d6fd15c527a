// Controller side of the Wake framing: an incremental request parser and
// the reply builder.
#ifndef QDX_SIM_FRAMECODEC_H
#define QDX_SIM_FRAMECODEC_H

#include <cstdint>
#include <span>
#include <vector>

namespace qdxsim {

std::uint8_t crcUpdate(std::uint8_t crc, std::uint8_t byte);

struct Frame {
    bool hasAddress = false;
    std::uint8_t address = 0;  // bit 7 cleared
    std::uint8_t command = 0;
    std::vector<std::uint8_t> data;
};

// Builds one frame without an address byte: FEND, command, N, data, CRC,
// every byte after FEND escaped. data holds at most 255 bytes.
std::vector<std::uint8_t> buildFrame(std::uint8_t command, std::span<const std::uint8_t> data);

// Takes the byte stream from the host one byte at a time. A frame with a
// bad check or a broken escape is dropped silently (the host sees silence).
// An unescaped FEND inside a frame starts a new frame: the bytes before it
// belonged to a frame that was cut off.
class FrameParser {
public:
    // True when b completed a frame with a correct check; frame() holds it
    // until the next call.
    bool feed(std::uint8_t b);
    // Forgets a partial frame (after silence on the line or a reopen).
    void reset();
    bool midFrame() const { return state_ != State::Hunt; }
    const Frame &frame() const { return frame_; }
    // Frames dropped for a bad check, a broken escape or a bad command byte.
    std::uint64_t dropped() const { return dropped_; }

private:
    enum class State { Hunt, First, Command, Length, Data };
    void start();
    bool take(std::uint8_t value);
    void drop();

    State state_ = State::Hunt;
    bool escape_ = false;
    std::uint8_t crc_ = 0;
    std::size_t length_ = 0;
    std::size_t position_ = 0;
    Frame frame_;
    std::uint64_t dropped_ = 0;
};

}  // namespace qdxsim

#endif
