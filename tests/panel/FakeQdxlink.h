// A recording stand-in for the device link library, linked into the panel's
// window tests instead of libqdxlink.so. Every exported function logs its call
// with its arguments; results and read values come from a script that the
// test sets beforehand.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace fakeqdx {

struct Call {
    std::string fn;       // "OpenDevice", "CloseDevice", "GetSN", "Set", "Get", ...
    int mask = 0;
    int bits = 0;
    int command = 0;
    std::int32_t value = 0;  // the value sent (Set) or delivered (Get)

    bool operator==(const Call&) const = default;
};

// A readable form for failure messages: "Set(7, 8, 0x16, 7)".
std::string ToString(const Call& c);
std::string ToString(const std::vector<Call>& calls);

Call Set(int mask, int bits, int command, std::int32_t value);
Call Get(int mask, int bits, int command, std::int32_t value);
Call Named(const std::string& fn);

// Forgets the log and the script: open fails, reads deliver 0, serial "".
void Reset();

std::vector<Call>& Log();
void ClearLog();

void SetOpenResult(bool ok);
// The value that QDX_Get delivers for this command byte, whatever the mask.
void SetGetValue(int command, std::int32_t value);
// ... for one channel (mask 1, 2 or 4) and command byte; takes precedence over
// the above. A read with several channels selected takes the lowest one's.
void SetGetValue(int mask, int command, std::int32_t value);
void SetSerial(const std::string& serial);
// Overwrites the serial buffer handed out by the last QDX_GetSN, as the real
// library's next call would; lets a test check that the panel copied it.
void ScribbleSerialBuffer(const std::string& text);

// Called after each call is logged, e.g. to look at the settings file at the
// moment the device is stopped.
void SetHook(std::function<void(const Call&)> hook);

}  // namespace fakeqdx
