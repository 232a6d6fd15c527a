#include "FakeQdxlink.h"

#include <qdxlink.h>

#include <cstdio>
#include <cstring>

namespace fakeqdx {
namespace {

struct Script {
    bool openResult = false;
    std::map<int, std::int32_t> byCommand;
    std::map<std::pair<int, int>, std::int32_t> byMaskCommand;
    std::string serial;
    std::function<void(const Call&)> hook;
};

Script& script() {
    static Script s;
    return s;
}

std::vector<Call>& log() {
    static std::vector<Call> l;
    return l;
}

char serialBuffer[64];
char emptyText[1];

void record(const Call& c) {
    log().push_back(c);
    if (script().hook) script().hook(c);
}

}  // namespace

std::string ToString(const Call& c) {
    char buf[96];
    if (c.fn == "Set" || c.fn == "Get")
        std::snprintf(buf, sizeof buf, "%s(%d, %d, 0x%02X, %ld)", c.fn.c_str(), c.mask, c.bits,
                      static_cast<unsigned>(c.command), static_cast<long>(c.value));
    else
        std::snprintf(buf, sizeof buf, "%s()", c.fn.c_str());
    return buf;
}

std::string ToString(const std::vector<Call>& calls) {
    std::string s;
    for (const Call& c : calls) s += ToString(c) + "\n";
    return s;
}

Call Set(int mask, int bits, int command, std::int32_t value) {
    return Call{"Set", mask, bits, command, value};
}
Call Get(int mask, int bits, int command, std::int32_t value) {
    return Call{"Get", mask, bits, command, value};
}
Call Named(const std::string& fn) { return Call{fn, 0, 0, 0, 0}; }

void Reset() {
    script() = Script{};
    log().clear();
    std::memset(serialBuffer, 0, sizeof serialBuffer);
}

std::vector<Call>& Log() { return log(); }
void ClearLog() { log().clear(); }
void SetOpenResult(bool ok) { script().openResult = ok; }
void SetGetValue(int command, std::int32_t value) { script().byCommand[command] = value; }
void SetGetValue(int mask, int command, std::int32_t value) {
    script().byMaskCommand[{mask, command}] = value;
}
void SetSerial(const std::string& serial) { script().serial = serial; }
void ScribbleSerialBuffer(const std::string& text) {
    std::snprintf(serialBuffer, sizeof serialBuffer, "%s", text.c_str());
}
void SetHook(std::function<void(const Call&)> hook) { script().hook = std::move(hook); }

}  // namespace fakeqdx

using namespace fakeqdx;

extern "C" {

bool QDX_OpenDevice(void) {
    record(Named("OpenDevice"));
    return script().openResult;
}

bool QDX_CloseDevice(void) {
    record(Named("CloseDevice"));
    return true;
}

void QDX_GetLastError(const char** text) {
    record(Named("GetLastError"));
    *text = emptyText;
}

bool QDX_GetInfo(const char** text) {
    record(Named("GetInfo"));
    *text = emptyText;
    return true;
}

bool QDX_Set(uint8_t mask, int8_t bits, uint8_t command, int32_t value) {
    record(Set(mask, bits, command, value));
    return true;
}

bool QDX_Get(uint8_t mask, int8_t bits, uint8_t command, int32_t* value) {
    // Like the real library, a read addresses the lowest selected channel.
    const int m = mask & 7;
    const int channel = m & -m;
    std::int32_t v = 0;
    if (auto it = script().byMaskCommand.find({channel, command}); it != script().byMaskCommand.end())
        v = it->second;
    else if (auto jt = script().byCommand.find(command); jt != script().byCommand.end())
        v = jt->second;
    *value = v;
    record(Get(mask, bits, command, v));
    return true;
}

bool QDX_Lim(uint8_t* limits) {
    record(Named("Lim"));
    *limits = 0;
    return true;
}

bool QDX_GetSN(const char** text) {
    record(Named("GetSN"));
    std::snprintf(serialBuffer, sizeof serialBuffer, "%s", script().serial.c_str());
    *text = serialBuffer;
    return !script().serial.empty();
}

}  // extern "C"
