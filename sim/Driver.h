// One simulated L6470 channel: its registers with their reset values, the
// STATUS word, and motion in real time (speed ramps, positioning, switch).
//
// Units: positions in ABS_POS units (the selected microstep), speeds in
// steps/s, accelerations in steps/s^2, time in seconds. The motor has a
// physical position; ABS_POS is that position plus an offset, as a wrapping
// 22-bit counter. The home switch closes when the motor reaches its position
// going forward and opens again 4 steps below it (hysteresis).
#ifndef QDX_SIM_DRIVER_H
#define QDX_SIM_DRIVER_H

#include <array>
#include <cstdint>

namespace qdxsim {

class Driver {
public:
    enum class Outcome {
        Ok,
        Refused,  // not in the present state (register writable only stopped / in HiZ, busy)
        Invalid,  // unknown command or register, read-only register
    };

    // Bits of a register's field; 0 for an unknown address.
    static int registerBits(std::uint8_t reg);
    // Bits of a command's data field for a set request (SetParam included);
    // -1 for a command a set request cannot carry.
    static int setCommandBits(std::uint8_t command);
    // Same for a get request (GetParam, GetStatus).
    static int getCommandBits(std::uint8_t command);

    explicit Driver(double switchPosition = 1000.0);

    // Power-up state: registers at their reset values, HiZ, UVLO latched.
    // The physical position and the switch stay where they are.
    void reset();

    // Moves the motor on by dt seconds of real time.
    void advance(double dt);

    // A set request's command byte with its data word (already cut to the
    // command's field width by the caller or not: extra bits are ignored).
    Outcome execute(std::uint8_t command, std::uint32_t value);
    // A get request's command byte; GetStatus clears the latched flags.
    Outcome read(std::uint8_t command, std::uint32_t &value);

    std::uint16_t status() const;       // STATUS as GetParam reads it
    std::uint16_t getStatus();          // the GetStatus command
    std::int32_t absPos() const;        // sign-extended ABS_POS
    double speed() const { return speed_; }
    bool forward() const { return forward_; }
    bool hiZ() const { return hiZ_; }
    bool busy() const;
    bool switchClosed() const { return switchClosed_; }
    double position() const { return position_; }  // physical
    void setSwitchPosition(double p);
    void setAdcReading(std::uint8_t reading) { adcOut_ = reading & 0x1F; }

private:
    enum class Mode { Hold, Run, GoTo, GoUntil, ReleaseSw, SoftStop };

    Outcome setParam(std::uint8_t reg, std::uint32_t value);
    std::uint32_t param(std::uint8_t reg) const;
    std::uint8_t motStatus() const;
    bool stopped() const { return motStatus() == 0; }
    double maxSpeed() const;
    double acc() const;
    double dec() const;
    double minSpeed() const;
    std::int64_t absCounter() const;  // unwrapped ABS_POS
    void setAbsCounter(std::int64_t value);
    void startGoTo(std::int64_t deltaSteps);
    void hardStop(bool hiZ);
    void step(double h);
    void stepToward(double target, bool wantForward, double h, double &v1);
    void switchEvents();
    Outcome refuse();
    Outcome wrong();

    std::array<std::uint32_t, 0x20> regs_{};
    std::uint8_t adcOut_ = 0;
    double switchPosition_;
    bool switchClosed_ = false;

    double position_ = 0.0;   // physical, in ABS_POS units
    std::int64_t offset_ = 0; // ABS_POS = floor(position_) + offset_, wrapped
    double speed_ = 0.0;      // >= 0
    bool forward_ = false;
    bool hiZ_ = true;
    Mode mode_ = Mode::Hold;
    bool hiZAfterStop_ = false;
    double runSpeed_ = 0.0;   // Run, GoUntil
    bool runForward_ = false;
    bool action_ = false;     // GoUntil, ReleaseSW: copy to MARK
    double target_ = 0.0;     // GoTo, physical
    std::uint8_t lastMot_ = 0;

    bool swEvn_ = false;
    bool notPerfCmd_ = false;
    bool wrongCmd_ = false;
    bool uvlo_ = true;  // latched event; the STATUS bit is active low
};

}  // namespace qdxsim

#endif
