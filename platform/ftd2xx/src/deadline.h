#ifndef FTD2XX_DEADLINE_H
#define FTD2XX_DEADLINE_H

#include "backend.h"

#include <chrono>

namespace ftd2xx {

// A point in time a wait must not pass, on the monotonic clock.
class Deadline {
public:
    // waitMs: milliseconds from now, or kWaitForever.
    explicit Deadline(int waitMs)
        : forever_(waitMs == kWaitForever),
          end_(std::chrono::steady_clock::now() + std::chrono::milliseconds(forever_ ? 0 : waitMs)) {}

    // Milliseconds left, rounded up so that a wait never ends early; 0 once
    // passed; kWaitForever for an unbounded deadline.
    int remainingMs() const {
        if (forever_) return kWaitForever;
        const auto left = end_ - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) return 0;
        return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
    }

private:
    bool forever_;
    std::chrono::steady_clock::time_point end_;
};

}  // namespace ftd2xx

#endif
