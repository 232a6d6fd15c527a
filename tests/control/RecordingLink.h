// A test-only stand-in for QDX_Set and QDX_Get: records every call and
// answers reads with a preset value.
#ifndef QDX_TESTS_RECORDING_LINK_H
#define QDX_TESTS_RECORDING_LINK_H

#include <cstdint>
#include <vector>

struct LinkCall {
    bool isGet;
    std::uint8_t mask;
    std::int8_t bits;
    std::uint8_t command;
    std::int32_t value;  // sent value; 0 for gets
};

struct RecordingLink {
    std::vector<LinkCall> calls;
    bool result = true;          // returned by both calls
    std::int32_t reading = 0;    // stored by QDX_Get
    bool getWritesValue = true;  // false: QDX_Get leaves *value untouched

    static RecordingLink &instance();
    void reset() { *this = RecordingLink{}; }
};

#endif
