#include "Controller.h"

#include <algorithm>
#include <cmath>

#include "Wire.h"

namespace qdxsim {

namespace {

constexpr double kAdcFullScaleVolts = 29.64;
constexpr int kAdcFullScale = 31;

std::size_t valueBytes(int bits) { return static_cast<std::size_t>((bits + 7) / 8); }

Reply statusReply(std::uint8_t command, std::uint8_t status, std::size_t size)
{
    Reply r{command, std::vector<std::uint8_t>(size, 0)};
    r.data[0] = status;
    return r;
}

std::uint8_t statusOf(Driver::Outcome o)
{
    switch (o) {
    case Driver::Outcome::Ok:
        return kStatusOk;
    case Driver::Outcome::Refused:
        return kStatusBusy;
    case Driver::Outcome::Invalid:
        return kStatusInvalidParameters;
    }
    return kStatusInvalidParameters;
}

}  // namespace

Clock steadyClock()
{
    return [] {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    };
}

std::uint8_t Controller::adcReading(double volts)
{
    if (!(volts > 0.0))
        return 0;
    const double r = std::round(volts * kAdcFullScale / kAdcFullScaleVolts);
    return static_cast<std::uint8_t>(std::min(r, static_cast<double>(kAdcFullScale)));
}

Controller::Controller(ControllerOptions options, Clock clock)
    : options_(std::move(options)), clock_(std::move(clock)), last_(clock_())
{
    for (int i = 0; i < kChannels; ++i) {
        drivers_[static_cast<std::size_t>(i)].setSwitchPosition(
            options_.switchPositions[static_cast<std::size_t>(i)]);
        drivers_[static_cast<std::size_t>(i)].setAdcReading(adcReading(options_.vcc));
    }
}

void Controller::update()
{
    const auto now = clock_();
    if (now > last_) {
        const double dt = std::chrono::duration<double>(now - last_).count();
        for (auto &d : drivers_)
            d.advance(dt);
        last_ = now;
    }
}

std::uint8_t Controller::limits() const
{
    std::uint8_t bits = 0;
    for (int i = 0; i < kChannels; ++i)
        if (drivers_[static_cast<std::size_t>(i)].switchClosed())
            bits |= static_cast<std::uint8_t>(1u << i);
    return bits;
}

std::vector<std::uint8_t> Controller::receive(std::span<const std::uint8_t> bytes)
{
    std::vector<std::uint8_t> out;
    for (std::uint8_t b : bytes) {
        if (!parser_.feed(b))
            continue;
        const Reply r = handle(parser_.frame());
        const auto frame = buildFrame(r.command, r.data);
        out.insert(out.end(), frame.begin(), frame.end());
    }
    return out;
}

Reply Controller::handle(const Frame &request)
{
    update();
    const std::uint8_t cmd = request.command;
    switch (cmd) {
    case kCmdInfo:
        if (request.hasAddress || !request.data.empty())
            return statusReply(cmd, kStatusInvalidPacket, 1);
        return Reply{cmd, std::vector<std::uint8_t>(options_.identity.begin(),
                                                    options_.identity.end())};
    case kCmdSet:
        if (request.hasAddress || request.data.size() != kSetLength)
            return statusReply(cmd, kStatusInvalidPacket, 1);
        return set(request);
    case kCmdGet:
        if (request.hasAddress || request.data.size() != kGetLength)
            return statusReply(cmd, kStatusInvalidPacket, 4);
        return get(request);
    case kCmdLim:
        if (request.hasAddress || !request.data.empty())
            return statusReply(cmd, kStatusInvalidPacket, 2);
        return Reply{cmd, {kStatusOk, limits()}};
    default:
        return statusReply(cmd, kStatusInvalidParameters, 1);
    }
}

Reply Controller::set(const Frame &request)
{
    const std::uint8_t head = request.data[0];
    const std::uint8_t command = request.data[1];
    const std::size_t count = head >> 4;
    const std::uint8_t mask = head & 0x07;
    const int bits = Driver::setCommandBits(command);
    if ((head & 0x08) || bits < 0 || count != valueBytes(bits))
        return statusReply(kCmdSet, kStatusInvalidParameters, 1);
    const std::uint32_t value = (std::uint32_t{request.data[2]} << 16) |
                                (std::uint32_t{request.data[3]} << 8) | request.data[4];
    std::uint8_t status = kStatusOk;
    for (int i = 0; i < kChannels; ++i) {
        if (!(mask & (1u << i)))
            continue;
        const std::uint8_t s = statusOf(drivers_[static_cast<std::size_t>(i)].execute(command, value));
        status = std::max(status, s);
    }
    return statusReply(kCmdSet, status, 1);
}

Reply Controller::get(const Frame &request)
{
    const std::uint8_t head = request.data[0];
    const std::uint8_t command = request.data[1];
    const std::size_t count = head >> 4;
    const int channel = (head & 0x0F) == 1 ? 0 : (head & 0x0F) == 2 ? 1 : (head & 0x0F) == 4 ? 2 : -1;
    const int bits = Driver::getCommandBits(command);
    if (channel < 0 || bits < 0 || count != valueBytes(bits))
        return statusReply(kCmdGet, kStatusInvalidParameters, 4);
    std::uint32_t value = 0;
    const auto outcome = drivers_[static_cast<std::size_t>(channel)].read(command, value);
    Reply r = statusReply(kCmdGet, statusOf(outcome), 4);
    r.data[1] = static_cast<std::uint8_t>(value >> 16);
    r.data[2] = static_cast<std::uint8_t>(value >> 8);
    r.data[3] = static_cast<std::uint8_t>(value);
    return r;
}

}  // namespace qdxsim
