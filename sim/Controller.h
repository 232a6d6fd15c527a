// The simulated controller: three L6470 channels behind the request and
// reply protocol. It takes the host's byte stream and produces reply bytes.
#ifndef QDX_SIM_CONTROLLER_H
#define QDX_SIM_CONTROLLER_H

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "Driver.h"
#include "FrameCodec.h"

namespace qdxsim {

struct ControllerOptions {
    std::string identity = "Quodrix QX-3 sim 1.0";
    double vcc = 24.0;  // volts
    std::array<double, 3> switchPositions{400.0, 400.0, 400.0};
};

// Monotonic time; tests inject a virtual clock.
using Clock = std::function<std::chrono::nanoseconds()>;
Clock steadyClock();

struct Reply {
    std::uint8_t command = 0;
    std::vector<std::uint8_t> data;
};

class Controller {
public:
    static constexpr int kChannels = 3;

    explicit Controller(ControllerOptions options = {}, Clock clock = steadyClock());

    // Feeds bytes from the host; returns the reply frames they completed,
    // one per valid request, in order. A frame with a bad check gets none.
    std::vector<std::uint8_t> receive(std::span<const std::uint8_t> bytes);
    // Forgets a partial request (silence on the line, the host went away).
    void resetParser() { parser_.reset(); }
    bool midFrame() const { return parser_.midFrame(); }

    // Answers one request frame.
    Reply handle(const Frame &request);

    // Brings the motors up to the clock's present time.
    void update();

    // ADC_OUT from a supply voltage: 31 stands for 29.64 V.
    static std::uint8_t adcReading(double volts);

    Driver &channel(int index) { return drivers_.at(static_cast<std::size_t>(index)); }
    std::uint8_t limits() const;
    const ControllerOptions &options() const { return options_; }
    std::uint64_t droppedFrames() const { return parser_.dropped(); }

private:
    Reply set(const Frame &request);
    Reply get(const Frame &request);

    ControllerOptions options_;
    Clock clock_;
    std::chrono::nanoseconds last_;
    std::array<Driver, kChannels> drivers_;
    FrameParser parser_;
};

}  // namespace qdxsim

#endif
